#pragma once

#include <QString>
#include <stdexcept>

namespace kilvaro {

/// A refusal of the data layer (engine error, bad SQL text, failed conversion, a rule that
/// aborts a store). Carries the German text that is shown to the user as it stands.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

/// Thrown by event handlers to stop an operation silently (no message), like a user
/// declining a question inside a before-store handler.
class AbortError : public DbError {
public:
    AbortError() : DbError(QString()) {}
};

} // namespace kilvaro

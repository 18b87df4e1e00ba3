#pragma once

#include "data/SqlAst.h"

namespace kilvaro::sql {

/// Splits a text of the old dialect into tokens: words, [bracketed names], numbers, texts
/// in double or single quotes, #m/d/yyyy# date literals, `?` and symbols. Throws sql::Error.
class SqlLexer {
public:
    static QList<Token> tokenize(const QString& text);
};

/// The message text for a refusal at a position ("SQL-Fehler bei Position 23: ...").
QString positionMessage(int position, const QString& problem);

} // namespace kilvaro::sql

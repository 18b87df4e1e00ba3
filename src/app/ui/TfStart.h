#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QLabel;

namespace kilvaro {

/// The start-up window: a borderless, rounded picture card with the program name, version
/// and the time of the program file's last change, shown while the program starts.
/// Clicking the picture closes it.
class TfStart : public QWidget {
    Q_OBJECT
public:
    /// `programFile`: the file whose last change `revision` shows (the running program).
    explicit TfStart(const QString& programFile = QString(), QWidget* parent = nullptr);

    /// Shows the window centred on the screen and paints it at once (the event loop does
    /// not run yet during start-up).
    void showSplash();
    /// Closes the window, once it has been visible for at least `minimumMs`.
    void finish(int minimumMs = 0);

    QLabel* revision;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_picture;
    QElapsedTimer m_shown;
};

} // namespace kilvaro

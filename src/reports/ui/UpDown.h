#pragma once

#include <QWidget>

class QToolButton;

namespace kilvaro {

/// A pair of arrow buttons that steps a position within a range, placed beside the edit or
/// list it drives. The up arrow raises the position; at either end the arrows stop.
class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int position() const { return m_position; }
    /// Sets the position (kept within the range) without emitting clicked().
    void setPosition(int position);

    /// Steps as the arrows do: emits clicked() when the position changed.
    void stepUp();
    void stepDown();

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

signals:
    /// The user stepped the position with an arrow.
    void clicked(int position);

protected:
    void changeEvent(QEvent* event) override;

private:
    void step(int delta);
    void updateButtons();

    QToolButton* m_up;
    QToolButton* m_down;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
};

} // namespace kilvaro

#pragma once

#include <QDate>
#include <QDialog>

class QCalendarWidget;
class QPushButton;

namespace kilvaro {

/// The date dialog: a month calendar with week numbers. OK (also Enter or a double-click)
/// gives the chosen date as short date text (dd.mm.yyyy); Cancel (also Esc) an empty text.
/// Created anew for each use.
class TKalenderform : public QDialog {
    Q_OBJECT
public:
    /// `today` is the date the calendar starts with (the system date unless given).
    explicit TKalenderform(QWidget* parent = nullptr, const QDate& today = QDate::currentDate());

    /// Sets the calendar's date; an invalid date is replaced by today when shown.
    void setDate(const QDate& date);
    QDate date() const;
    /// The result: the date as "dd.MM.yyyy", empty when cancelled or not yet confirmed.
    QString resultText() const { return m_result; }

    QCalendarWidget* Kalender;
    QPushButton* BTOK;
    QPushButton* BTAbbruch;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BTOKClick();
    void BTAbbruchClick();

    QDate m_today;
    QString m_result;
};

} // namespace kilvaro

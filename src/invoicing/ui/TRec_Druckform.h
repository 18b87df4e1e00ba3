#pragma once

#include "base/AppContext.h"

#include <QDialog>

class QPushButton;
class QSpinBox;

namespace kilvaro {

/// The invoice print selection "Rechnungen drucken": prints or previews the invoice
/// documents of a range of numbers, with a number of copies. Created anew for every opening;
/// the latest one stays the current print selection, whose copies every invoice document
/// prints with, until another one is created.
class TRec_Druckform : public QDialog {
    Q_OBJECT
public:
    explicit TRec_Druckform(const AppContext& context, QWidget* parent = nullptr);
    ~TRec_Druckform() override;

    /// Creates a print selection, makes it the current one and shows it modally: with the
    /// range used last, or with `from`..`to` and the caption of a month.
    static void open(const AppContext& context, QWidget* parent);
    static void openForRange(const AppContext& context, QWidget* parent, int from, int to,
                             const QString& caption);
    /// The current print selection, or nullptr.
    static TRec_Druckform* current();

    /// RechnungenAusgeben: keeps the range, prints (`print`) or previews the documents of
    /// the numbers that exist, says how many and names the missing numbers, then hides.
    void RechnungenAusgeben(bool print);
    void FormCreate();
    void BtdruckenClick() { RechnungenAusgeben(true); }
    void BTBerichtClick() { RechnungenAusgeben(false); }

    QPushButton* BitBtn2;  ///< "&Drucken"
    QPushButton* BTBericht; ///< "&Vorschau"
    QPushButton* BitBtn3;  ///< "Abbruch"
    QSpinBox* Edit1;       ///< copies
    QSpinBox* ersteREC;    ///< first number
    QSpinBox* letzteREC;   ///< last number

    /// Makes this the current print selection (open() does so before showing it).
    void makeCurrent();

private:

    AppContext m_context;
};

} // namespace kilvaro

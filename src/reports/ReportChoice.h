#pragma once

namespace kilvaro {

/// What the user chose in a report dialog: nothing, the preview ("&Vorschau", the dialog's
/// result OK) or the printer ("&Drucken", the dialog's result Yes).
enum class ReportChoice { Cancel, Preview, Print };

/// The result codes the report dialogs end with: 0 Cancel (QDialog::Rejected), 1 OK
/// (QDialog::Accepted), 2 Yes.
inline constexpr int ReportResultCancel = 0;
inline constexpr int ReportResultOk = 1;
inline constexpr int ReportResultYes = 2;

inline ReportChoice reportChoiceOf(int resultCode) {
    switch (resultCode) {
    case ReportResultOk:
        return ReportChoice::Preview;
    case ReportResultYes:
        return ReportChoice::Print;
    default:
        return ReportChoice::Cancel;
    }
}

} // namespace kilvaro

#pragma once

class QWidget;

namespace kilvaro {

/// Writes the text still being typed in a bound edit field or open grid cell inside `scope`
/// (the widget itself included) into its row,
/// as leaving the field would. A command on the current record runs this first: a command
/// triggered by its shortcut or by an accessibility action leaves the focus in the field, so
/// without it the command would not see what the user typed.
/// Throws DbError when a field refuses its text (an edit field has already shown why; the
/// error is then silent), so the command does not run on a half-taken record.
void commitPendingInput(QWidget* scope);

} // namespace kilvaro

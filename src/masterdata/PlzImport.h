#pragma once

#include <QString>

namespace kilvaro {

class Connection;

/// Import of postal codes from a text file, one code per line: the first character "r" or
/// "R" marks the right bank of the Rhine (any other the left bank), the second is ignored,
/// characters 3 to 7 are the code. Empty lines are skipped. Codes are added to `plz`;
/// existing rows stay, and importing a file twice doubles its codes.
class PlzImport {
public:
    enum class LineKind { Empty, Code, Invalid };
    struct Line {
        LineKind kind = LineKind::Empty;
        int code = 0;
        bool rightBank = false;
    };
    static Line parseLine(const QString& line);

    struct Result {
        int imported = 0;
        int badLineNumber = 0; ///< 1-based number of the line that stopped the import, or 0
        QString badLineText;
        bool stopped() const { return badLineNumber > 0; }
        /// The German report of a stopped import (empty when it ran through).
        QString message() const;
    };

    /// Reads the file and stores its codes in one transaction. A line whose code is not a
    /// number stops the import: the codes of the lines before it are stored, the rest not.
    /// Throws DbError with a German message when the file is missing or unreadable (nothing
    /// is stored then) or the database refuses the rows (nothing is stored).
    static Result importFile(Connection& connection, const QString& path);
};

} // namespace kilvaro

#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace kilvaro {

/// A temporary program folder for one test, removed when the test ends.
class TempProgramFolder {
public:
    TempProgramFolder();

    bool isValid() const { return m_dir.isValid(); }
    /// The folder with a trailing '/'.
    QString path() const;
    /// path() + relative name.
    QString filePath(const QString& name) const;
    /// Writes raw bytes into a file of the folder (sub-folders are created); false on failure.
    bool writeFile(const QString& name, const QByteArray& bytes) const;
    QByteArray readFile(const QString& name) const;
    /// Makes this folder the program folder of the shared paths (SqlPath, DatenPath).
    void makeCurrent() const;

private:
    QTemporaryDir m_dir;
};

/// Fills a closed database file with enough trips to span many pages, then overwrites a
/// page in the middle of the file with garbage: a file that still opens but whose
/// consistency check reports errors. False when the file could not be written.
bool damageDatabaseMiddle(const QString& databaseFile);

/// Makes a file or folder unwritable even for root (file permissions, then the immutable
/// attribute where root runs the tests); false when that is impossible here.
bool makeReadOnly(const QString& path);
/// Undoes makeReadOnly.
void makeWritable(const QString& path);

/// Creates a QCoreApplication once for gtest programs that need one (event loop, file
/// time stamps, application path); does nothing when any application exists.
void ensureApp();
/// Creates a QGuiApplication once (fonts, painting, QDesktopServices); fails when a QCoreApplication
/// without a GUI already exists.
void ensureGuiApp();

} // namespace kilvaro

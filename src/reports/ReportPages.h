#pragma once

#include "reports/ReportPage.h"

#include <QObject>
#include <QPageLayout>
#include <QSizeF>
#include <functional>

class QPainter;
class QPagedPaintDevice;

namespace kilvaro {

/// What of a page store goes to a printer or a PDF file.
struct OutputOptions {
    int firstPage = 0; ///< 1-based; 0: from the first page
    int lastPage = 0;  ///< 1-based; 0: to the last page
    int copies = 1;
    bool collate = true; ///< copies as whole sets (1 2 3 1 2 3) rather than 1 1 2 2 3 3
};

/// The page store of one report run: the rendered pages, the page size and the report
/// title. The engine appends pages one by one while it renders and signals each page and
/// the progress, so a preview can show pages before the run has finished.
///
/// Painting, PDF export and printing all go through paintPage(), so the preview, the PDF
/// and the paper show the same thing.
class ReportPages : public QObject {
    Q_OBJECT
public:
    explicit ReportPages(QObject* parent = nullptr);

    /// Called by the engine when a run starts.
    void reset(const QString& title, QPageLayout::Orientation orientation, const QSizeF& paperMm);
    void appendPage(ReportPage page);
    void setProgress(int percent);
    void setFinished();

    QString title() const { return m_title; }
    void setTitle(const QString& t) { m_title = t; }
    QPageLayout::Orientation orientation() const { return m_orientation; }
    /// Paper size in millimetres in the page's orientation (A4 portrait 210 × 297).
    QSizeF paperSize() const { return m_paper; }
    int pageCount() const { return int(m_pages.size()); }
    /// 0-based index.
    const ReportPage& page(int index) const { return m_pages.at(index); }
    bool isFinished() const { return m_finished; }
    int progress() const { return m_progress; }

    /// Asks a running render to stop after the current record (e.g. the preview closed).
    void requestCancel() { m_cancel = true; }
    bool cancelRequested() const { return m_cancel; }

    /// Paints a page with the painter's coordinates in millimetres (1 unit = 1 mm, origin at
    /// the paper's top left corner).
    void paintPage(QPainter& painter, int index) const;
    /// The page as an image at the given resolution (white paper).
    QImage pageImage(int index, double dotsPerInch) const;

    /// The 1-based page numbers that go out, copies included, in output order.
    QList<int> outputSequence(const OutputOptions& options) const;
    /// Paints the chosen pages onto a paged device (a QPrinter with full-page mode or a
    /// QPdfWriter), one page per device page. `progress(done, total)` may return false to
    /// stop. Returns false when painting could not start or was stopped.
    bool paintTo(QPagedPaintDevice& device, const OutputOptions& options = {},
                 const std::function<bool(int, int)>& progress = {}) const;
    /// Writes the chosen pages to a PDF file. The file is written under a temporary name
    /// and only replaces the target when complete, so a failed export leaves no half
    /// file. On failure returns false with a German message in `errorText`.
    bool exportPdf(const QString& fileName, QString* errorText = nullptr,
                   const OutputOptions& options = {}) const;

signals:
    /// A page has been added; `count` pages are available.
    void pageAdded(int count);
    /// Render progress 0 to 100; 100 comes once, when the run is complete.
    void progressChanged(int percent);
    void finished();

private:
    QString m_title;
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    QSizeF m_paper{210, 297};
    QList<ReportPage> m_pages;
    bool m_finished = false;
    bool m_cancel = false;
    int m_progress = 0;
};

} // namespace kilvaro

#pragma once

#include <QPointer>
#include <QScrollArea>

namespace kilvaro {

class ReportPages;

/// The page view of the preview window: shows one page of a page store at a zoom in
/// percent of the paper's real size. Page numbers outside 1 to the page count are ignored.
class ReportPreviewView : public QScrollArea {
    Q_OBJECT
public:
    explicit ReportPreviewView(QWidget* parent = nullptr);

    void setPages(ReportPages* pages);
    ReportPages* pages() const { return m_pages; }

    /// 1-based; 1 also while no page exists yet.
    int pageNumber() const { return m_page; }
    /// Ignored below 1 or above the page count.
    void setPageNumber(int page);
    int pageCount() const;

    int zoom() const { return m_zoom; }
    /// Zoom in percent; at least 1.
    void setZoom(int percent);
    /// The zoom at which the whole page fits into the visible area.
    int wholePageZoom() const;
    /// The zoom at which the page's width fits into the visible area.
    int pageWidthZoom() const;

signals:
    void pageChanged(int page);

private:
    class Canvas;
    void updateCanvas();
    double pixelsPerMm(int zoom) const;

    QPointer<ReportPages> m_pages;
    Canvas* m_canvas;
    int m_page = 1;
    int m_zoom = 150;
};

} // namespace kilvaro

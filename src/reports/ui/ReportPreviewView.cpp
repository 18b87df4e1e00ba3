#include "reports/ui/ReportPreviewView.h"

#include "reports/ReportPages.h"

#include <QPainter>
#include <QScrollBar>

namespace kilvaro {

namespace {
constexpr int PaperGap = 12; // pixels of grey around the paper
} // namespace

class ReportPreviewView::Canvas : public QWidget {
public:
    explicit Canvas(ReportPreviewView* view) : QWidget(view), m_view(view) {
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Dark));
        ReportPages* pages = m_view->pages();
        if (!pages)
            return;
        const double scale = m_view->pixelsPerMm(m_view->zoom());
        const QSizeF paper = pages->paperSize();
        const QRectF sheet(PaperGap, PaperGap, paper.width() * scale, paper.height() * scale);
        p.fillRect(sheet.translated(3, 3), QColor(0, 0, 0, 60));
        p.fillRect(sheet, Qt::white);
        const int index = m_view->pageNumber() - 1;
        if (index < 0 || index >= pages->pageCount())
            return;
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.setClipRect(sheet);
        p.translate(sheet.topLeft());
        p.scale(scale, scale);
        pages->paintPage(p, index);
    }

private:
    ReportPreviewView* m_view;
};

ReportPreviewView::ReportPreviewView(QWidget* parent)
    : QScrollArea(parent), m_canvas(new Canvas(this)) {
    setObjectName(QStringLiteral("Preview"));
    setWidget(m_canvas);
    setWidgetResizable(false);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setBackgroundRole(QPalette::Dark);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    updateCanvas();
}

void ReportPreviewView::setPages(ReportPages* pages) {
    if (m_pages)
        disconnect(m_pages, nullptr, this, nullptr);
    m_pages = pages;
    if (pages) {
        connect(pages, &ReportPages::pageAdded, this, [this](int count) {
            if (count == m_page)
                m_canvas->update();
        });
    }
    m_page = 1;
    updateCanvas();
}

int ReportPreviewView::pageCount() const {
    return m_pages ? m_pages->pageCount() : 0;
}

void ReportPreviewView::setPageNumber(int page) {
    if (page < 1 || page > pageCount() || page == m_page)
        return;
    m_page = page;
    verticalScrollBar()->setValue(0);
    m_canvas->update();
    emit pageChanged(page);
}

void ReportPreviewView::setZoom(int percent) {
    percent = std::max(1, percent);
    if (percent == m_zoom)
        return;
    m_zoom = percent;
    updateCanvas();
}

double ReportPreviewView::pixelsPerMm(int zoom) const {
    return logicalDpiX() / 25.4 * zoom / 100.0;
}

int ReportPreviewView::wholePageZoom() const {
    const QSizeF paper = m_pages ? m_pages->paperSize() : QSizeF(210, 297);
    const QSize room = viewport()->size() - QSize(2 * PaperGap + 4, 2 * PaperGap + 4);
    const double byWidth = room.width() / (paper.width() * pixelsPerMm(100));
    const double byHeight = room.height() / (paper.height() * pixelsPerMm(100));
    return std::max(1, int(std::min(byWidth, byHeight) * 100));
}

int ReportPreviewView::pageWidthZoom() const {
    const QSizeF paper = m_pages ? m_pages->paperSize() : QSizeF(210, 297);
    // Leave room for the vertical scroll bar, which a page at full width needs.
    const int room =
        viewport()->width() - 2 * PaperGap - 4 -
        (verticalScrollBar()->isVisible() ? 0 : verticalScrollBar()->sizeHint().width());
    return std::max(1, int(room / (paper.width() * pixelsPerMm(100)) * 100));
}

void ReportPreviewView::updateCanvas() {
    const QSizeF paper = m_pages ? m_pages->paperSize() : QSizeF(210, 297);
    const double scale = pixelsPerMm(m_zoom);
    m_canvas->resize(int(paper.width() * scale) + 2 * PaperGap + 4,
                     int(paper.height() * scale) + 2 * PaperGap + 4);
    m_canvas->update();
}

} // namespace kilvaro

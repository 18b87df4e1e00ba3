#include "reports/ReportPages.h"

#include "reports/ReportText.h"

#include "base/TextFile.h"

#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace kilvaro {

namespace {

constexpr double PointsPerMm = 72.0 / 25.4;

QPen penFor(const PageElement& e) {
    QPen pen(e.color);
    pen.setWidthF(e.penWidth / PointsPerMm); // points -> mm
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

} // namespace

ReportPages::ReportPages(QObject* parent) : QObject(parent) {}

void ReportPages::reset(const QString& title, QPageLayout::Orientation orientation,
                        const QSizeF& paperMm) {
    m_title = title;
    m_orientation = orientation;
    m_paper = paperMm;
    m_pages.clear();
    m_finished = false;
    m_cancel = false;
    m_progress = 0;
}

void ReportPages::appendPage(ReportPage page) {
    m_pages.append(std::move(page));
    emit pageAdded(int(m_pages.size()));
}

void ReportPages::setProgress(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (percent == m_progress)
        return;
    m_progress = percent;
    emit progressChanged(percent);
}

void ReportPages::setFinished() {
    m_finished = true;
    m_progress = 100;
    emit progressChanged(100);
    emit finished();
}

void ReportPages::paintPage(QPainter& painter, int index) const {
    if (index < 0 || index >= m_pages.size())
        return;
    for (const PageElement& e : m_pages.at(index).elements) {
        switch (e.type) {
        case PageElement::Type::Text: {
            painter.save();
            painter.translate(e.rect.left(), e.baseline);
            painter.scale(1.0 / ReportText::UnitsPerMm, 1.0 / ReportText::UnitsPerMm);
            painter.setFont(ReportText::unitFont(e.font, painter.device()->logicalDpiY()));
            painter.setPen(e.color);
            painter.drawText(QPointF(0, 0), e.text);
            painter.restore();
            break;
        }
        case PageElement::Type::Line:
            painter.setPen(penFor(e));
            painter.drawLine(e.rect.topLeft(), e.rect.bottomRight());
            break;
        case PageElement::Type::Rect:
            painter.setPen(penFor(e));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(e.rect);
            break;
        case PageElement::Type::Image:
            painter.drawImage(e.rect, e.image);
            break;
        }
    }
}

QImage ReportPages::pageImage(int index, double dotsPerInch) const {
    const double scale = dotsPerInch / 25.4;
    QImage img(QSize(int(m_paper.width() * scale), int(m_paper.height() * scale)),
               QImage::Format_RGB32);
    img.fill(Qt::white);
    img.setDotsPerMeterX(int(dotsPerInch / 0.0254));
    img.setDotsPerMeterY(int(dotsPerInch / 0.0254));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
    paintPage(p, index);
    return img;
}

QList<int> ReportPages::outputSequence(const OutputOptions& options) const {
    const int count = pageCount();
    const int from = std::max(1, options.firstPage);
    const int to = options.lastPage <= 0 ? count : std::min(count, options.lastPage);
    const int copies = std::max(1, options.copies);
    QList<int> seq;
    if (from > to)
        return seq;
    if (options.collate) {
        for (int c = 0; c < copies; ++c)
            for (int p = from; p <= to; ++p)
                seq.append(p);
    } else {
        for (int p = from; p <= to; ++p)
            for (int c = 0; c < copies; ++c)
                seq.append(p);
    }
    return seq;
}

bool ReportPages::paintTo(QPagedPaintDevice& device, const OutputOptions& options,
                          const std::function<bool(int, int)>& progress) const {
    const QList<int> seq = outputSequence(options);
    if (seq.isEmpty())
        return false;
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), m_orientation, QMarginsF(0, 0, 0, 0),
                                     QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    const double scaleX = device.logicalDpiX() / 25.4;
    const double scaleY = device.logicalDpiY() / 25.4;
    for (int i = 0; i < seq.size(); ++i) {
        if (progress && !progress(i, int(seq.size()))) {
            painter.end();
            return false;
        }
        if (i > 0 && !device.newPage()) {
            painter.end();
            return false;
        }
        painter.save();
        painter.scale(scaleX, scaleY);
        paintPage(painter, seq.at(i) - 1);
        painter.restore();
    }
    if (progress)
        progress(int(seq.size()), int(seq.size()));
    return painter.end();
}

bool ReportPages::exportPdf(const QString& fileName, QString* errorText,
                            const OutputOptions& options) const {
    auto fail = [&](const QString& reason) {
        if (errorText)
            *errorText = tr("Die PDF-Datei \"%1\" konnte nicht geschrieben werden: %2")
                             .arg(QDir::toNativeSeparators(fileName), reason);
        return false;
    };
    if (pageCount() == 0)
        return fail(tr("Der Bericht hat keine Seiten."));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return fail(TextFile::failureReason(file, true));
    {
        QPdfWriter writer(&file);
        writer.setResolution(1200);
        writer.setTitle(m_title);
        writer.setCreator(QStringLiteral("Kilvaro"));
        if (!paintTo(writer, options)) {
            file.cancelWriting();
            return fail(tr("Die Seiten konnten nicht ausgegeben werden."));
        }
    }
    if (!file.commit())
        return fail(TextFile::failureReason(file, true));
    return true;
}

} // namespace kilvaro

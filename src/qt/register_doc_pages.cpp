// The register description's pages: keeping each table on one page, and
// the PDF with a footer on every page.
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <cmath>

#include "model/captions.h"
#include "qt/register_doc.h"

namespace vor3::qt {

namespace {

QFont footer_font() { return QFont(QStringLiteral("DejaVu Sans"), 7); }

int page_of(qreal y, qreal page_height) { return static_cast<int>(std::floor(y / page_height)); }

}  // namespace

std::unique_ptr<QTextDocument> lay_out_register_description(const std::string& language, QPagedPaintDevice& device) {
    auto document = std::make_unique<QTextDocument>();
    document->documentLayout()->setPaintDevice(&device);
    document->setHtml(register_description_html(language));
    const QRectF body = device.pageLayout().paintRectPixels(device.logicalDpiY());
    const qreal footer = 2 * QFontMetricsF(footer_font(), &device).height();
    const qreal height = body.height() - footer;
    document->setPageSize(QSizeF(body.width(), height));

    // Each table follows its heading; one that would run over a page starts
    // a new page with its heading. Later sections move with it, so they are
    // looked at in order, each after the one before has settled.
    auto* layout = document->documentLayout();
    QTextBlock heading;
    for (auto it = document->rootFrame()->begin(); !it.atEnd(); ++it) {
        auto* table = qobject_cast<QTextTable*>(it.currentFrame());
        if (!table) {
            if (it.currentBlock().isValid() && !it.currentBlock().text().isEmpty()) heading = it.currentBlock();
            continue;
        }
        const qreal top = layout->blockBoundingRect(heading).top();
        const qreal bottom = layout->frameBoundingRect(table).bottom();
        if (page_of(top, height) == page_of(bottom - 1, height)) continue;
        QTextBlockFormat starts_page;
        starts_page.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(heading).mergeBlockFormat(starts_page);
    }
    return document;
}

void set_up_register_description(QPdfWriter& pdf, const std::string& language) {
    pdf.setTitle(QString::fromStdString(model::caption(model::Caption::doc_title, language)));
    pdf.setCreator(QString::fromStdString(model::caption(model::Caption::maker_name, language)));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 12),
                                  QPageLayout::Millimeter));
}

bool write_register_description(const QString& path, const std::string& language) {
    QFile::remove(path);
    {
        QPdfWriter pdf(path);
        set_up_register_description(pdf, language);
        const auto document = lay_out_register_description(language, pdf);
        const QSizeF page = document->pageSize();
        const QRectF body = pdf.pageLayout().paintRectPixels(pdf.logicalDpiY());
        QPainter painter;
        if (!painter.begin(&pdf)) return false;
        const int pages = document->pageCount();
        for (int i = 0; i < pages; ++i) {
            if (i > 0) pdf.newPage();
            painter.save();
            painter.translate(0, -i * page.height());
            document->drawContents(&painter, QRectF(QPointF(0, i * page.height()), page));
            painter.restore();
            painter.setFont(footer_font());
            const QRectF footer(0, page.height(), body.width(), body.height() - page.height());
            painter.drawText(footer, Qt::AlignLeft | Qt::AlignBottom,
                             QString::fromStdString(model::caption(model::Caption::doc_title, language)));
            painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom,
                             QString::fromStdString(model::caption(model::Caption::doc_page, language,
                                                                   {std::to_string(i + 1), std::to_string(pages)})));
        }
        painter.end();
    }
    // The writer reports nothing; the document is there or it is not.
    const QFileInfo written(path);
    return written.isFile() && written.size() > 0;
}

}  // namespace vor3::qt

#include "qt/register_doc.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include "model/captions.h"
#include "model/numbers.h"
#include "model/register_map.h"

namespace vor3::qt {

namespace {

using model::Caption;
using model::Block;

QString q(const std::string& s) { return QString::fromStdString(s).toHtmlEscaped(); }

QString cell(const QString& text, const char* tag = "td") { return QStringLiteral("<%1>%2</%1>").arg(tag, text); }

// Field captions end in ":" or " :" in the window; a table needs neither.
std::string plain_caption(std::string s) {
    while (!s.empty() && (s.back() == ':' || s.back() == ' ')) s.pop_back();
    return s;
}

QString address_text(int address) {
    return QStringLiteral("%1 (0x%2)").arg(address).arg(address, 4, 16, QLatin1Char('0')).toUpper().replace("0X", "0x");
}

}  // namespace

QString register_description_name(const std::string& language) {
    QString name = QString::fromStdString(model::caption(Caption::help_document, language));
    name.replace('\\', '/');
    if (name.startsWith('/')) name.remove(0, 1);
    return name;
}

QString register_description_html(const std::string& language) {
    auto text = [&](Caption id) { return q(model::caption(id, language)); };
    const std::string sep = language == model::kEnglish ? "." : ",";
    const bool english = language == model::kEnglish;

    QString html = QStringLiteral("<html><body style=\"font-family: 'DejaVu Sans', sans-serif; font-size: 9pt;\">");
    html += cell(text(Caption::doc_title), "h1");
    html += cell(text(Caption::doc_intro), "p");
    const struct {
        Block block;
        Caption heading;
    } blocks[] = {
        {Block::ConfigRegisters, Caption::doc_block_config_registers},
        {Block::MeasuredValues, Caption::doc_block_measured},
        {Block::ExternalValues, Caption::doc_block_external},
        {Block::ConfigCoils, Caption::doc_block_config_coils},
        {Block::LedCoils, Caption::doc_block_led_coils},
    };
    for (const auto& b : blocks) {
        html += cell(text(b.heading), "h2");
        html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" width=\"100%\"><tr>");
        const struct {
            Caption head;
            int percent;
        } columns[] = {{Caption::doc_col_address, 16}, {Caption::doc_col_caption, 33}, {Caption::doc_col_range, 17},
                       {Caption::doc_col_unit, 8}, {Caption::doc_col_scaling, 12}, {Caption::doc_col_access, 14}};
        for (const auto& c : columns)
            html += QStringLiteral("<th width=\"%1%\" align=\"left\">%2</th>").arg(c.percent).arg(text(c.head));
        html += QStringLiteral("</tr>");
        for (const auto& f : model::field_map()) {
            if (f.block != b.block) continue;
            QString caption = q(plain_caption(english ? f.caption_en : f.caption_de));
            if (f.hidden) caption += QStringLiteral(" <i>%1</i>").arg(text(Caption::doc_hidden));
            const QString range = q(model::format_number(f.min, sep) + " … " + model::format_number(f.max, sep));
            const QString scaling = q(model::format_number(1.0 / model::scale_of(f.encoding), sep));
            const QString access = text(model::written_to_sensor(f) ? Caption::doc_read_write : Caption::doc_read_only);
            html += QStringLiteral("<tr>") + cell(address_text(f.address)) + cell(caption) + cell(range) +
                    cell(q(f.unit)) + cell(scaling) + cell(access) + QStringLiteral("</tr>");
        }
        html += QStringLiteral("</table>");
    }
    html += cell(q(model::caption(Caption::maker_name, language)) + QStringLiteral(", ") +
                     q(model::caption(Caption::maker_web, language)),
                 "p");
    return html + QStringLiteral("</body></html>");
}

bool write_register_description(const QString& path, const std::string& language) {
    QFile::remove(path);
    {
        QPdfWriter pdf(path);
        pdf.setTitle(QString::fromStdString(model::caption(Caption::doc_title, language)));
        pdf.setCreator(QString::fromStdString(model::caption(Caption::maker_name, language)));
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                      QPageLayout::Millimeter));
        QTextDocument document;
        document.setHtml(register_description_html(language));
        document.print(&pdf);
    }
    // The writer reports nothing; the document is there or it is not.
    const QFileInfo written(path);
    return written.isFile() && written.size() > 0;
}

}  // namespace vor3::qt

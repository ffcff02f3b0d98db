#include "qt/register_doc.h"

#include <span>

#include "form/frm_config.h"
#include "form/virtual_clock.h"
#include "model/captions.h"
#include "model/numbers.h"
#include "model/register_map.h"
#include "model/register_notes.h"

namespace vor3::qt {

namespace {

using model::Block;
using model::Caption;
using model::FieldArray;
using model::FieldSpec;

// A degree sign stays with its letter ("°F"): the line breaker would part them.
QString q(const std::string& s) {
    return QString::fromStdString(s).toHtmlEscaped().replace(QStringLiteral("°"), QStringLiteral("°\u2060"));
}

QString cell(const QString& text, const char* tag = "td") { return QStringLiteral("<%1>%2</%1>").arg(tag, text); }

// Field captions end in ":" or " :" in the window; a table needs neither.
std::string plain_caption(std::string s) {
    while (!s.empty() && (s.back() == ':' || s.back() == ' ')) s.pop_back();
    return s;
}

QString address_text(int address) {
    return QStringLiteral("%1<br>0x%2")
        .arg(address)
        .arg(QStringLiteral("%1").arg(address, 4, 16, QLatin1Char('0')).toUpper());
}

// Whether the window shows a field: in its own control, or (registers 0
// and 1, coil 3) in the label or list that stands in for a hidden one.
bool shown_in_window(const form::FrmConfig& f, const FieldSpec& s) {
    switch (s.array) {
    case FieldArray::txt_data_cfg: return f.txt_data_cfg(s.index).visible() || f.lbl_cfg_val.has(s.index);
    case FieldArray::txt_data_out: return f.txt_data_out(s.index).visible();
    case FieldArray::txt_data_in: return f.txt_data_in(s.index).visible();
    case FieldArray::chk_cfg: return f.chk_cfg(s.index).visible() || f.cmb_bit_cfg.has(s.index);
    case FieldArray::chk_inp_bit: return f.chk_inp_bit(s.index).visible();
    }
    return false;
}

Caption scaling_of(model::Encoding encoding) {
    switch (encoding) {
    case model::Encoding::Signed16Div10: return Caption::doc_scale_tenths;
    case model::Encoding::Unsigned16: return Caption::doc_scale_unsigned;
    default: return Caption::doc_scale_signed;
    }
}

struct Column {
    Caption head;
    int percent;
};
constexpr Column kRegisterColumns[] = {{Caption::doc_col_address, 10}, {Caption::doc_col_caption, 38},
                                       {Caption::doc_col_unit, 9},     {Caption::doc_col_range, 14},
                                       {Caption::doc_col_scaling, 18}, {Caption::doc_col_access, 11}};
constexpr Column kCoilColumns[] = {
    {Caption::doc_col_address, 10}, {Caption::doc_col_caption, 79}, {Caption::doc_col_access, 11}};

}  // namespace

QString register_description_name(const std::string& language) {
    QString name = QString::fromStdString(model::caption(Caption::help_document, language));
    name.replace('\\', '/');
    if (name.startsWith('/')) name.remove(0, 1);
    return name;
}

QString register_description_html(const std::string& language) {
    auto text = [&](Caption id) { return q(model::caption(id, language)); };
    const bool english = language == model::kEnglish;
    const std::string sep = english ? "." : ",";
    form::VirtualClock clock;
    const form::FrmConfig window(clock);

    QString html = QStringLiteral("<html><body style=\"font-family: 'DejaVu Sans', sans-serif; font-size: 9pt;\">");
    html += cell(text(Caption::doc_title), "h1");
    for (Caption p : {Caption::doc_intro, Caption::doc_values, Caption::doc_factory_settings})
        html += cell(text(p), "p");
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
        const bool coils = b.block == Block::ConfigCoils || b.block == Block::LedCoils;
        html += cell(text(b.heading), "h2");
        html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" width=\"100%\"><tr>");
        for (const auto& c : coils ? std::span<const Column>(kCoilColumns) : std::span<const Column>(kRegisterColumns))
            html += QStringLiteral("<th width=\"%1%\" align=\"left\">%2</th>").arg(c.percent).arg(text(c.head));
        html += QStringLiteral("</tr>");
        for (const auto& f : model::field_map()) {
            if (f.block != b.block) continue;
            const auto& note = model::register_note(f.array, f.index);
            const char* caption = english ? (note.caption_en ? note.caption_en : f.caption_en) : f.caption_de;
            QString about = QStringLiteral("<b>%1</b><br>%2")
                                .arg(q(plain_caption(caption)), q(english ? note.meaning_en : note.meaning_de));
            if (!shown_in_window(window, f)) about += QStringLiteral(" <i>%1</i>").arg(text(Caption::doc_hidden));
            const QString access = text(model::written_to_sensor(f) ? Caption::doc_read_write : Caption::doc_read_only);
            html += QStringLiteral("<tr>") + cell(address_text(f.address)) + cell(about);
            if (!coils) {
                const QString range = q(model::format_number(f.min, sep) + " … " + model::format_number(f.max, sep));
                html += cell(q(f.unit)) + cell(range) + cell(text(scaling_of(f.encoding)));
            }
            html += cell(access) + QStringLiteral("</tr>");
        }
        html += QStringLiteral("</table>");
    }
    html += cell(q(model::caption(Caption::maker_name, language)) + QStringLiteral(", ") +
                     q(model::caption(Caption::maker_web, language)),
                 "p");
    return html + QStringLiteral("</body></html>");
}

}  // namespace vor3::qt

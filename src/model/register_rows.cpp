#include "model/register_rows.h"

#include <cstdio>
#include <optional>

#include "model/captions.h"
#include "model/numbers.h"

namespace vor3::model {

namespace {

std::string hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

// What the last read gave for the field, as the register (or the bit) held it.
std::optional<std::uint16_t> raw_of(const RegisterImage& image, const FieldSpec& f) {
    const auto at = static_cast<std::size_t>(f.index);
    const auto bit = [&](const std::optional<std::uint8_t>& byte) -> std::optional<std::uint16_t> {
        if (!byte) return std::nullopt;
        return static_cast<std::uint16_t>((*byte >> f.index) & 1);
    };
    switch (f.block) {
    case Block::ConfigRegisters: return image.cfg_raw[at];
    case Block::MeasuredValues: return image.out_raw[at];
    case Block::ExternalValues: return image.in_raw[at];
    case Block::ConfigCoils: return bit(image.cfg_coils_raw);
    case Block::LedCoils: return bit(image.led_coils_raw);
    }
    return std::nullopt;
}

// The field's label without its colon ("Temperatur:" → "Temperatur").
std::string name_of(const FieldSpec& f, const std::string& language) {
    std::string name = language == kEnglish ? f.caption_en : f.caption_de;
    while (!name.empty() && (name.back() == ':' || name.back() == ' ')) name.pop_back();
    return name;
}

}  // namespace

TableRow register_headers(const std::string& language) {
    TableRow headers;
    for (const Caption c :
         {Caption::registers_address, Caption::registers_name, Caption::registers_function, Caption::registers_raw,
          Caption::registers_value, Caption::registers_unit, Caption::registers_range})
        headers.emplace_back(caption(c, language));
    return headers;
}

std::vector<TableRow> register_rows(const RegisterImage& image, const LanguageValues& lang) {
    const std::string& sep = lang.decimal_sep;
    std::vector<TableRow> rows;
    for (const FieldSpec& f : field_map()) {
        const bool coil = f.encoding == Encoding::Coil;
        const auto raw = raw_of(image, f);
        std::string raw_text, value;
        if (!raw) {
            value = caption(Caption::registers_not_read, lang.language);
        } else if (coil) {
            raw_text = value = *raw ? "1" : "0";
        } else {
            raw_text = hex(*raw, 4);
            value = f.block == Block::MeasuredValues ? measured_text(*raw, f.encoding, sep)
                                                     : register_text(*raw, f.encoding, sep);
        }
        rows.push_back({hex(static_cast<unsigned>(f.address), 4), name_of(f, lang.language), coil ? "01" : "03",
                        raw_text, value, f.unit, format_number(f.min, sep) + " … " + format_number(f.max, sep)});
    }
    return rows;
}

std::string tab_separated(const TableRow& headers, const std::vector<TableRow>& rows) {
    std::string text;
    const auto line = [&text](const TableRow& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i) text += '\t';
            for (const char ch : cells[i]) text += ch == '\t' || ch == '\n' || ch == '\r' ? ' ' : ch;
        }
        text += '\n';
    };
    line(headers);
    for (const auto& r : rows) line(r);
    return text;
}

}  // namespace vor3::model

#pragma once
#include <QString>

namespace vor3::qt {

// The register description in one language ("1031" or "1033"), as HTML
// made from the register map and the captions: every register and coil
// with its address, caption, range, unit, scaling and access.
QString register_description_html(const std::string& language);

// Writes it as a PDF document; false when the file could not be written.
bool write_register_description(const QString& path, const std::string& language);

// The file name of the description in a language, as Help looks for it
// below the installation folder ("Doc/...pdf").
QString register_description_name(const std::string& language);

}  // namespace vor3::qt

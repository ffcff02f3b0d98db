#pragma once
#include <QString>

#include <memory>
#include <string>

class QPagedPaintDevice;
class QPdfWriter;
class QTextDocument;

namespace vor3::qt {

// The register description in one language ("1031" or "1033"), as HTML
// made from the register map, its notes, the window's controls and the
// captions: every register and coil with its address, caption, meaning,
// unit, the range the window takes, scaling and access.
QString register_description_html(const std::string& language);

// The description laid out in pages for a device: a section (heading and
// table) that would run over the end of a page starts on the next one, so
// no row is split or left alone. The document's page size is the device's
// printable area less a line for the page footer.
std::unique_ptr<QTextDocument> lay_out_register_description(const std::string& language, QPagedPaintDevice& device);

// Gives a PDF writer the description's A4 pages, title and creator.
void set_up_register_description(QPdfWriter& pdf, const std::string& language);

// Writes it as an A4 PDF document with a page footer; false when the file
// could not be written.
bool write_register_description(const QString& path, const std::string& language);

// The file name of the description in a language, as Help looks for it
// below the installation folder ("Doc/...pdf").
QString register_description_name(const std::string& language);

}  // namespace vor3::qt

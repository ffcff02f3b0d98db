#include "store/hive.h"

#include <algorithm>

#include "store/code_page.h"

namespace vor3::store {

using namespace hive_format;

namespace {

bool is_blank(std::string_view text) { return trim(text).empty(); }

// Line breaks and zero bytes have no escape in the format: they would end
// the line (or the text) early.
bool fits_on_a_line(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

}  // namespace

Hive Hive::parse(std::string_view bytes) {
    Hive hive;
    auto text = decode(bytes, hive.encoding_);
    if (!text) {
        // Read what can be read all the same; it is never written back.
        hive.understood_ = false;
        hive.encoding_ = Encoding::eight_bit;
        text = std::string(bytes);
    }
    const std::string_view all = *text;
    bool anything = false;  // a line with text before the header?
    Key* current = nullptr;
    std::size_t start = 0;
    while (start < all.size()) {
        Line line;
        std::string logical;  // a hex value goes on over lines ending in "\"
        for (bool first = true;; first = false) {
            std::size_t end = all.find('\n', start);
            const bool last = end == std::string_view::npos;
            if (last) end = all.size();
            std::string_view physical = all.substr(start, end - start);
            std::string line_end = last ? "" : "\n";
            if (!physical.empty() && physical.back() == '\r') {
                physical.remove_suffix(1);
                line_end = "\r" + line_end;
            }
            start = last ? all.size() : end + 1;
            if (!first) line.text += line.end;
            line.text += physical;
            line.end = line_end;
            logical += trim(physical);
            // Hex data goes on in an indented line, as the registry editor
            // writes it; a line that is not indented (a section, a value
            // added after the last line) stands on its own.
            const bool indented = start < all.size() && (all[start] == ' ' || all[start] == '\t');
            if (!indented || !continues(logical)) break;
            logical.pop_back();
        }
        if (hive.lines_.empty() && line.end == "\r\n") hive.line_end_ = "\r\n";
        const LineIt at = hive.lines_.insert(hive.lines_.end(), std::move(line));
        const std::string_view l = trim(logical);
        if (l.empty() || l.front() == ';') continue;
        if (!hive.header_ && !anything && is_header(l)) {
            hive.header_ = true;
            hive.wide_text_ = l.back() == '0';  // "... Version 5.00"
            continue;
        }
        anything = true;
        if (l.front() == '[') {
            at->section = true;
            current = nullptr;
            if (auto path = section_path(l)) {
                current = hive.find_key(*path);
                if (current)
                    current->sections.push_back(at);
                else
                    current = &hive.add_key(*path, at);
                current->tail = at;
            }
        } else if (current) {  // not a value outside any key
            current->tail = at;
            if (auto v = value_line(l, hive.wide_text_)) hive.read_value(*current, std::move(*v), at);
        }
    }
    if (anything && !hive.header_) hive.understood_ = false;
    return hive;
}

void Hive::read_value(Key& key, HiveValue v, LineIt line) {
    const auto [slot, added] = key.index.try_emplace(lower(v.name), key.key.values.size());
    if (added) {
        key.key.values.push_back(std::move(v));
        key.value_lines.push_back(line);
    } else {
        // The last line of a name counts, as it does for the registry editor.
        key.key.values[slot->second] = std::move(v);
        key.value_lines[slot->second] = line;
    }
}

Hive::Key& Hive::add_key(const std::string& path, LineIt section) {
    by_path_.emplace(lower(path), keys_.size());
    Key& key = keys_.emplace_back();
    key.key.path = path;
    key.sections.push_back(section);
    key.tail = section;
    return key;
}

Hive::Key* Hive::find_key(std::string_view path) {
    const auto it = by_path_.find(lower(normal_key_path(path)));
    return it == by_path_.end() ? nullptr : &keys_[it->second];
}

const HiveKey* Hive::find(std::string_view path) const {
    const auto it = by_path_.find(lower(normal_key_path(path)));
    return it == by_path_.end() ? nullptr : &keys_[it->second].key;
}

const HiveValue* Hive::value(std::string_view path, std::string_view name) const {
    const auto key = by_path_.find(lower(normal_key_path(path)));
    if (key == by_path_.end()) return nullptr;
    const Key& k = keys_[key->second];
    const auto v = k.index.find(lower(name));
    return v == k.index.end() ? nullptr : &k.key.values[v->second];
}

std::vector<const HiveKey*> Hive::keys() const {
    std::vector<const HiveKey*> out;
    for (const auto& k : keys_) out.push_back(&k.key);
    return out;
}

bool Hive::exists(std::string_view path) const {
    const std::string wanted = lower(normal_key_path(path));
    if (wanted.empty()) return false;
    for (const auto& [p, index] : by_path_)
        if (p == wanted || (p.size() > wanted.size() && p[wanted.size()] == '\\' && p.starts_with(wanted))) return true;
    return false;
}

std::vector<std::string> Hive::subkeys(std::string_view path) const {
    const std::string parent = normal_key_path(path);
    const std::string prefix = parent.empty() ? "" : lower(parent) + "\\";
    std::vector<std::string> names;
    std::unordered_map<std::string, bool> seen;
    for (const auto& k : keys_) {
        const std::string& p = k.key.path;
        if (p.size() <= prefix.size() || lower(p.substr(0, prefix.size())) != prefix) continue;
        const std::string name = p.substr(prefix.size(), p.find('\\', prefix.size()) - prefix.size());
        if (seen.emplace(lower(name), true).second) names.push_back(name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return lower(a) < lower(b); });
    return names;
}

Hive::LineIt Hive::insert_after(LineIt at, std::string text, bool section) {
    // The file's last line may end without a line feed.
    if (at->end.empty())
        at->end = line_end_;
    else if (at->end.back() != '\n')
        at->end += '\n';
    return lines_.insert(std::next(at), Line{std::move(text), line_end_, section});
}

FileError Hive::set_text(std::string_view path, std::string_view name, std::string_view text, std::string_view root) {
    if (!understood_) return FileError::of(FileProblem::not_a_hive);
    const std::string key_path = normal_key_path(path);
    for (const std::string_view s : {path, name, text}) {
        if (!fits_on_a_line(s) || (encoding_ != Encoding::eight_bit && !is_utf8(s)))
            return FileError::of(FileProblem::not_storable, std::string(s));
    }
    if (key_path.empty()) return FileError::of(FileProblem::not_storable, std::string(path));

    if (!header_) {
        lines_.push_front(Line{"", line_end_});
        lines_.push_front(Line{"REGEDIT4", line_end_});
        header_ = true;
    }
    const std::string line = text_value_line(name, text);
    Key* key = find_key(key_path);
    if (!key) {
        LineIt last = std::prev(lines_.end());
        if (!is_blank(last->text)) last = insert_after(last, "");
        key = &add_key(key_path, insert_after(last, "[" + std::string(root) + "\\" + key_path + "]", true));
    }
    HiveValue v{std::string(name), kText, std::string(text)};
    const auto slot = key->index.find(lower(name));
    if (slot != key->index.end()) {
        key->value_lines[slot->second]->text = line;  // its line end stays
        key->key.values[slot->second] = std::move(v);
        return {};
    }
    key->tail = insert_after(key->tail, line);
    read_value(*key, std::move(v), key->tail);
    return {};
}

bool Hive::remove_tree(std::string_view path) {
    const std::string wanted = lower(normal_key_path(path));
    if (wanted.empty()) return false;
    auto below = [&](const Key& k) {
        const std::string p = lower(k.key.path);
        return p == wanted || (p.size() > wanted.size() && p[wanted.size()] == '\\' && p.starts_with(wanted));
    };
    bool removed = false;
    for (const auto& k : keys_) {
        if (!below(k)) continue;
        removed = true;
        // A section runs to the next one; its comments and blank lines go with it.
        for (LineIt line : k.sections) {
            LineIt end = std::next(line);
            while (end != lines_.end() && !end->section) ++end;
            lines_.erase(line, end);
        }
    }
    if (!removed) return false;
    std::erase_if(keys_, below);
    index_keys();
    return true;
}

void Hive::index_keys() {
    by_path_.clear();
    for (std::size_t i = 0; i < keys_.size(); ++i) by_path_.emplace(lower(keys_[i].key.path), i);
}

std::string Hive::bytes() const {
    std::string text;
    for (const auto& line : lines_) text += line.text + line.end;
    return encode(text, encoding_);
}

}  // namespace vor3::store

#include "cli/table.h"

#include <cmath>

#include "cli/shortest_number.h"

namespace vemlari::cli {

namespace {

const char* wave_name(Wave w) { return w == Wave::love ? "love" : "rayleigh"; }

// RFC 4180: a field with a comma, quote or line end is quoted, its quotes doubled.
void append_csv_text(std::string& out, const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) {
        out += s;
        return;
    }
    out += '"';
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void append_json_text(std::string& out, const std::string& s) {
    static const char hex[] = "0123456789abcdef";
    out += '"';
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

// JSON has no NaN or infinity.
void append_json_number(std::string& out, double v) {
    if (std::isfinite(v)) {
        append_shortest(out, v);
    } else {
        out += "null";
    }
}

}  // namespace

TableWriter::TableWriter(std::ostream& out, Format format, std::vector<std::string> columns)
    : out_(out), format_(format), columns_(std::move(columns)) {
    if (format_ == Format::json || format_ == Format::records) {
        out_ << "[";
        return;
    }
    if (format_ == Format::jsonl) return;
    std::string header = "model,wave";
    for (const std::string& c : columns_) header += "," + c;
    out_ << header << "\n";
}

void TableWriter::write(const Block& b) {
    std::string text;
    if (format_ == Format::csv) {
        std::string lead;
        append_csv_text(lead, b.model);
        lead += ",";
        lead += wave_name(b.wave);
        for (std::size_t r = 0; r < b.rows; ++r) {
            text += lead;
            for (const std::vector<double>& column : b.values) {
                text += ',';
                if (!column.empty()) append_shortest(text, column[r]);
            }
            text += '\n';
        }
        out_ << text;
        return;
    }
    if (format_ != Format::json) {
        write_rows(b);
        return;
    }
    text += first_ ? "\n" : ",\n";
    first_ = false;
    text += "  {\"model\": ";
    append_json_text(text, b.model);
    text += ", \"wave\": \"";
    text += wave_name(b.wave);
    text += "\"";
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        text += ",\n   \"" + columns_[c] + "\": ";
        const std::vector<double>& column = b.values[c];
        if (column.empty()) {
            text += "null";
            continue;
        }
        text += '[';
        for (std::size_t r = 0; r < column.size(); ++r) {
            if (r > 0) text += ", ";
            append_json_number(text, column[r]);
        }
        text += ']';
    }
    text += "}";
    out_ << text;
}

void TableWriter::write_rows(const Block& b) {
    std::string lead = "{\"file\": ";
    append_json_text(lead, b.file);
    lead += ", \"index\": " + std::to_string(b.index) + ", \"wave\": \"" + wave_name(b.wave) + "\"";
    std::string text;
    for (std::size_t r = 0; r < b.rows; ++r) {
        if (format_ == Format::records) {
            text += first_ ? "\n  " : ",\n  ";
            first_ = false;
        }
        text += lead;
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            text += ", \"" + columns_[c] + "\": ";
            if (b.values[c].empty()) {
                text += "null";
            } else {
                append_json_number(text, b.values[c][r]);
            }
        }
        text += '}';
        if (format_ == Format::jsonl) text += '\n';
    }
    out_ << text;
}

void TableWriter::finish() {
    if (format_ == Format::json || format_ == Format::records) out_ << (first_ ? "]\n" : "\n]\n");
    out_.flush();
}

}  // namespace vemlari::cli

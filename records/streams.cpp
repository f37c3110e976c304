#include "records/streams.h"

#include <cerrno>
#include <cstring>
#include <istream>
#include <ostream>
#include <string>

#include "records/run_stop.h"

namespace vemlari {

namespace {

std::string trim_trailing_blanks(std::string_view name) {
    std::size_t n = name.size();
    while (n > 0 && (name[n - 1] == ' ' || name[n - 1] == '\t' || name[n - 1] == '\r')) --n;
    return std::string(name.substr(0, n));
}

bool is_standard(int unit) { return unit == unit::error || unit == unit::keyboard || unit == unit::console; }

}  // namespace

Streams::Streams(std::istream& keyboard, std::ostream& console, std::ostream& error, std::filesystem::path dir)
    : keyboard_(keyboard), console_(console), error_(error), dir_(std::move(dir)) {}

Streams::~Streams() {
    for (auto& s : s_) {
        if (s.file != nullptr) std::fclose(s.file);
    }
}

bool Streams::bound(int unit) const { return is_standard(unit) || s_[unit].file != nullptr; }

void Streams::open(int unit, std::string_view raw_name, OpenStatus status) {
    const std::string name = trim_trailing_blanks(raw_name);
    Stream& s = s_[unit];
    if (s.file != nullptr && s.name == name) return;
    close(unit);
    s.name = name;
    s.last_layout.clear();
    s.reading = status == OpenStatus::old;
    s.lines_read = 0;
    if (name.empty()) {
        s.name.clear();
        fail(unit, "open", "null file name", s.reading);
    }
    // The C library would take the name up to its first NUL: another file.
    if (name.find('\0') != std::string::npos) fail(unit, "open", "file name holds a NUL byte", s.reading);
    const std::filesystem::path path = dir_ / name;
    // A directory opens for reading, and then reads as an empty file.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) fail(unit, "open", std::strerror(EISDIR), s.reading);
    errno = 0;
    s.file = std::fopen(path.c_str(), status == OpenStatus::old ? "r" : "w");
    if (s.file == nullptr) {
        const int err = errno;
        fail(unit, "open", err != 0 ? std::strerror(err) : "can't open file", s.reading);
    }
    s.last_was_write = false;
}

void Streams::close(int unit) {
    if (is_standard(unit)) return;
    Stream& s = s_[unit];
    if (s.file == nullptr) return;
    std::FILE* f = s.file;
    s.file = nullptr;
    const bool failed = std::fclose(f) != 0 && s.last_was_write;
    if (failed) fail(unit, "close", "can't write file", false);
}

void Streams::close_all() {
    for (int unit = 0; unit < static_cast<int>(s_.size()); ++unit) {
        if (unit == unit::console) console_.flush();
        close(unit);
    }
}

void Streams::bind_default(int unit) { open(unit, "fort." + std::to_string(unit), OpenStatus::unk); }

void Streams::put(int unit, std::string_view record, std::string_view layout) {
    if (unit == unit::console || unit == unit::error) {
        std::ostream& os = unit == unit::console ? console_ : error_;
        os << record << '\n';
        if (!os) fail(unit, "write", "can't write file", false);
        return;
    }
    if (s_[unit].file == nullptr || s_[unit].reading) bind_default(unit);
    Stream& s = s_[unit];
    s.last_layout.assign(layout);
    s.last_was_write = true;
    if (std::fwrite(record.data(), 1, record.size(), s.file) != record.size() || std::fputc('\n', s.file) == EOF) {
        fail(unit, "write", "can't write file", false);
    }
}

namespace {

enum class RecordEnd { line, end, too_long };

// One line from `get` (a character or EOF), kept in `line` unless null; never more than
// max_record characters are taken before the line is given up.
template <class Get>
RecordEnd read_record(Get&& get, std::string* line) {
    std::size_t length = 0;
    bool any = false;
    for (int c; (c = get()) != EOF;) {
        any = true;
        if (c == '\n') return RecordEnd::line;
        if (++length > max_record) return RecordEnd::too_long;
        if (line != nullptr) line->push_back(static_cast<char>(c));
    }
    return any ? RecordEnd::line : RecordEnd::end;
}

}  // namespace

bool Streams::next_record(int unit, std::string* line, std::string_view context) {
    if (line != nullptr) line->clear();
    Stream& s = s_[unit];
    RecordEnd e;
    if (unit == unit::keyboard) {
        flush_console();
        e = read_record([&] { return keyboard_.get(); }, line);
    } else {
        s.last_layout.clear();
        if (s.file == nullptr) return false;
        e = read_record([&] { return std::fgetc(s.file); }, line);
    }
    if (e == RecordEnd::end) return false;
    ++s.lines_read;
    if (e == RecordEnd::too_long) fail(unit, context, "record too long", true, s.lines_read);
    return true;
}

bool Streams::read_line(int unit, std::string& line, std::string_view context) {
    return next_record(unit, &line, context);
}

bool Streams::skip_line(int unit, std::string_view context) { return next_record(unit, nullptr, context); }

void Streams::flush_console() { console_.flush(); }

void Streams::fail(int unit, std::string_view context, std::string_view condition, bool reading, long long line) {
    const Stream& s = s_[unit];
    std::string report;
    report.append(context).append(": ").append(condition).append("\n");
    report.append("apparent state: unit ").append(std::to_string(unit)).append(" ");
    if (!is_standard(unit) && !s.name.empty()) {
        report.append("named ").append(s.name);
    } else {
        report.append("(unnamed)");
    }
    if (line > 0) report.append(", line ").append(std::to_string(line));
    report.append("\n");
    if (!reading && !s.last_layout.empty()) report.append("last format: ").append(s.last_layout).append("\n");
    report.append("lately ").append(reading ? "reading" : "writing");
    report.append(" sequential formatted external IO\n");
    throw StreamFailure(report);
}

}  // namespace vemlari

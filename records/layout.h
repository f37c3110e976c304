#pragma once
// Layout records: a template such as "(F8.4,500(',',E12.4))" walked against a value list.
// Templates are parsed once, when the Layout is constructed.
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "records/record_sink.h"

namespace vemlari {

struct LayoutValue {
    bool is_int;
    long long i = 0;
    double r = 0.0;
    LayoutValue() : is_int(false) {}
    LayoutValue(int v) : is_int(true), i(v) {}
    LayoutValue(long long v) : is_int(true), i(v) {}
    LayoutValue(double v) : is_int(false), r(v) {}
};

class Layout {
public:
    // Throws std::invalid_argument for a template it cannot parse.
    explicit Layout(std::string_view tmpl);
    ~Layout();
    Layout(const Layout&) = delete;
    Layout& operator=(const Layout&) = delete;

    const std::string& text() const { return text_; }

    // One layout write statement: the records it produces go to `sink` on stream `unit`.
    void write(RecordSink& sink, int unit, std::span<const LayoutValue> values) const;
    void write(RecordSink& sink, int unit, std::initializer_list<LayoutValue> values) const {
        write(sink, unit, std::span<const LayoutValue>(values.begin(), values.size()));
    }

    struct Node;

private:
    std::string text_;
    std::unique_ptr<Node> root_;
};

}  // namespace vemlari

#include "records/layout.h"

#include <cctype>
#include <stdexcept>
#include <vector>

#include "records/number_images.h"

namespace vemlari {

// One item of a template; a group holds its own list. The whole template is a group of one.
struct Layout::Node {
    enum class Kind { text, slash, int_field, fixed_field, exp_field, group };
    Kind kind = Kind::group;
    int repeat = 1;
    int w = 0;
    int d = 0;
    std::string text;
    std::vector<Node> items;
};

namespace {

using Node = Layout::Node;

class Parser {
public:
    explicit Parser(std::string_view s) : s_(s) {}

    Node parse() {
        Node root;
        skip_blanks();
        expect('(');
        parse_list(root);
        skip_blanks();
        if (pos_ != s_.size()) fail("text after the closing parenthesis");
        return root;
    }

private:
    std::string_view s_;
    std::size_t pos_ = 0;

    [[noreturn]] void fail(const char* why) const {
        throw std::invalid_argument("layout template \"" + std::string(s_) + "\": " + why);
    }

    void skip_blanks() {
        while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
    }
    bool at(char c) {
        skip_blanks();
        return pos_ < s_.size() && s_[pos_] == c;
    }
    void expect(char c) {
        if (!at(c)) fail("unexpected character");
        ++pos_;
    }
    bool at_digit() {
        skip_blanks();
        return pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]));
    }
    int number() {
        if (!at_digit()) fail("number expected");
        long n = 0;
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) {
            n = n * 10 + (s_[pos_++] - '0');
            if (n > 1000000) fail("number too large");
        }
        return static_cast<int>(n);
    }

    // Items up to and including the closing parenthesis. Commas separate items; around a
    // slash they may be left out.
    void parse_list(Node& list) {
        if (at(')')) {
            ++pos_;
            return;
        }
        for (;;) {
            list.items.push_back(parse_item());
            const bool slash = list.items.back().kind == Node::Kind::slash;
            if (at(')')) {
                ++pos_;
                return;
            }
            if (at(',')) {
                ++pos_;
                continue;
            }
            if (!slash && !at('/')) fail("comma expected");
        }
    }

    Node parse_item() {
        Node n;
        skip_blanks();
        if (pos_ >= s_.size()) fail("unexpected end");
        if (s_[pos_] == '\'') {
            n.kind = Node::Kind::text;
            ++pos_;
            for (;;) {
                if (pos_ >= s_.size()) fail("unterminated text");
                const char c = s_[pos_++];
                if (c != '\'') {
                    n.text += c;
                } else if (pos_ < s_.size() && s_[pos_] == '\'') {
                    n.text += '\'';
                    ++pos_;
                } else {
                    break;
                }
            }
            return n;
        }
        if (s_[pos_] == '/') {
            n.kind = Node::Kind::slash;
            ++pos_;
            return n;
        }
        if (at_digit()) {
            n.repeat = number();
            if (n.repeat < 1) fail("repeat count must be positive");
        }
        skip_blanks();
        if (pos_ >= s_.size()) fail("unexpected end");
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(s_[pos_])));
        if (c == '(') {
            ++pos_;
            n.kind = Node::Kind::group;
            parse_list(n);
            return n;
        }
        ++pos_;
        if (c == 'I') {
            n.kind = Node::Kind::int_field;
        } else if (c == 'F') {
            n.kind = Node::Kind::fixed_field;
        } else if (c == 'E') {
            n.kind = Node::Kind::exp_field;
        } else {
            fail("unknown item");
        }
        n.w = number();
        if (n.w < 1) fail("field width must be positive");
        if (n.kind != Node::Kind::int_field) {
            expect('.');
            n.d = number();
            if (n.kind == Node::Kind::exp_field && n.d < 1) fail("exponent field needs a digit");
        }
        return n;
    }
};

class Walker {
public:
    Walker(RecordSink& sink, int unit, std::string_view tmpl, std::span<const LayoutValue> values, std::string& rec)
        : sink_(sink), unit_(unit), tmpl_(tmpl), values_(values), rec_(rec) {}

    // Walks items[from..]; false when a data item found the value list used up.
    bool walk(const std::vector<Node>& items, std::size_t from) {
        for (std::size_t k = from; k < items.size(); ++k) {
            const Node& n = items[k];
            switch (n.kind) {
                case Node::Kind::text:
                    rec_ += n.text;
                    break;
                case Node::Kind::slash:
                    finish();
                    break;
                case Node::Kind::group:
                    for (int r = 0; r < n.repeat; ++r)
                        if (!walk(n.items, 0)) return false;
                    break;
                default:
                    for (int r = 0; r < n.repeat; ++r) {
                        if (next_ == values_.size()) return false;
                        field(n, values_[next_++]);
                    }
                    break;
            }
        }
        return true;
    }

    void finish() {
        sink_.put(unit_, rec_, tmpl_);
        rec_.clear();
    }

    std::size_t used() const { return next_; }

private:
    RecordSink& sink_;
    int unit_;
    std::string_view tmpl_;
    std::span<const LayoutValue> values_;
    std::string& rec_;
    std::size_t next_ = 0;

    void field(const Node& n, const LayoutValue& v) {
        const bool wants_int = n.kind == Node::Kind::int_field;
        if (v.is_int != wants_int)
            throw std::logic_error("layout \"" + std::string(tmpl_) + "\": value of the wrong type");
        if (wants_int)
            append_I(rec_, n.w, v.i);
        else if (n.kind == Node::Kind::fixed_field)
            append_F(rec_, n.w, n.d, v.r);
        else
            append_E(rec_, n.w, n.d, v.r);
    }
};

}  // namespace

Layout::Layout(std::string_view tmpl) : text_(tmpl), root_(std::make_unique<Node>(Parser(text_).parse())) {}

Layout::~Layout() = default;

void Layout::write(RecordSink& sink, int unit, std::span<const LayoutValue> values) const {
    thread_local std::string rec;
    rec.clear();
    Walker walker(sink, unit, text_, values, rec);

    // With values left at the end, the walk resumes at the last outermost group.
    std::size_t restart = 0;
    for (std::size_t k = root_->items.size(); k-- > 0;)
        if (root_->items[k].kind == Node::Kind::group) {
            restart = k;
            break;
        }

    std::size_t from = 0;
    for (;;) {
        const std::size_t before = walker.used();
        if (!walker.walk(root_->items, from) || walker.used() == values.size()) break;
        if (walker.used() == before) throw std::logic_error("layout \"" + text_ + "\": more values than data items");
        walker.finish();
        from = restart;
    }
    walker.finish();
}

}  // namespace vemlari

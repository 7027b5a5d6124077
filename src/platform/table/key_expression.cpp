#include "platform/table/key_expression.h"

#include <cctype>
#include <cmath>
#include <memory>
#include <vector>

namespace qaro {

std::string key_bytes(const Value& v, int width, int decimals) {
    switch (v.type()) {
    case ValueType::Text: return v.text();
    case ValueType::Date: return v.date().dtos();
    case ValueType::Logical: return v.logical() ? "T" : "F";
    case ValueType::Number: {
        double n = v.number();
        bool neg = n < 0;
        std::string s = str_number(std::fabs(n), width, decimals);
        for (auto& c : s) {
            if (c == ' ') c = '0';
            if (neg && c >= '0' && c <= '9') c = static_cast<char>(',' - (c - '0'));
        }
        return s;
    }
    default: return std::string();
    }
}

namespace {

struct Node;
using NodePtr = std::shared_ptr<Node>;
struct Node {
    enum Kind { Field, Text, Number, Call, Plus } kind = Text;
    int field = 0;
    std::string text;
    double number = 0;
    std::string name;
    std::vector<NodePtr> args;
};

class Parser {
public:
    Parser(std::string_view t, const Structure& s) : t_(t), s_(s) {}
    NodePtr parse(std::string& error) {
        auto n = expr();
        skip();
        if (!n || i_ != t_.size()) {
            error = err_.empty() ? "unexpected text at position " + std::to_string(i_ + 1) : err_;
            return nullptr;
        }
        return n;
    }

private:
    void skip() {
        while (i_ < t_.size() && std::isspace(static_cast<unsigned char>(t_[i_]))) ++i_;
    }
    bool eat(char c) {
        skip();
        if (i_ < t_.size() && t_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    NodePtr expr() {
        auto a = term();
        while (a && eat('+')) {
            auto b = term();
            if (!b) return nullptr;
            auto p = std::make_shared<Node>();
            p->kind = Node::Plus;
            p->args = {a, b};
            a = p;
        }
        return a;
    }
    std::string ident() {
        skip();
        std::size_t b = i_;
        while (i_ < t_.size() && (std::isalnum(static_cast<unsigned char>(t_[i_])) || t_[i_] == '_')) ++i_;
        return upper(t_.substr(b, i_ - b));
    }
    NodePtr term() {
        skip();
        if (i_ >= t_.size()) return fail("the expression ends too early");
        char c = t_[i_];
        auto n = std::make_shared<Node>();
        if (c == '"' || c == '\'') {
            auto e = t_.find(c, i_ + 1);
            if (e == std::string_view::npos) return fail("a text is not closed");
            n->kind = Node::Text;
            n->text = std::string(t_.substr(i_ + 1, e - i_ - 1));
            i_ = e + 1;
            return n;
        }
        if (std::isdigit(static_cast<unsigned char>(c))) {
            std::size_t b = i_;
            while (i_ < t_.size() && (std::isdigit(static_cast<unsigned char>(t_[i_])) || t_[i_] == '.')) ++i_;
            n->kind = Node::Number;
            n->number = std::stod(std::string(t_.substr(b, i_ - b)));
            return n;
        }
        std::string id = ident();
        if (id.empty()) return fail("unexpected '" + std::string(1, c) + "'");
        skip();
        if (i_ + 1 < t_.size() && t_[i_] == '-' && t_[i_ + 1] == '>') {
            i_ += 2;
            id = ident();   // the alias names this table
        } else if (eat('(')) {
            n->kind = Node::Call;
            n->name = id;
            if (!eat(')')) {
                do {
                    auto a = expr();
                    if (!a) return nullptr;
                    n->args.push_back(a);
                } while (eat(','));
                if (!eat(')')) return fail("')' expected after the arguments of " + id);
            }
            static const char* known[] = {"UPPER", "DTOS", "STR", "LEFT", "SUBSTR", "RTRIM", "TRIM"};
            bool ok = false;
            for (auto k : known) ok = ok || id == k;
            if (!ok || n->args.empty()) return fail("unsupported function " + id + "()");
            return n;
        }
        int pos = field_position(s_, id);
        if (pos == 0) return fail("no field " + id);
        n->kind = Node::Field;
        n->field = pos - 1;
        return n;
    }
    NodePtr fail(std::string e) {
        if (err_.empty()) err_ = std::move(e);
        return nullptr;
    }
    std::string_view t_;
    const Structure& s_;
    std::size_t i_ = 0;
    std::string err_;
};

Value eval(const Node& n, DbfTable& t) {
    switch (n.kind) {
    case Node::Field: return t.get(n.field);
    case Node::Text: return Value(n.text);
    case Node::Number: return Value(n.number);
    case Node::Plus: {
        Value a = eval(*n.args[0], t), b = eval(*n.args[1], t);
        if (a.is_number() && b.is_number()) return Value(a.number() + b.number());
        return Value(a.text() + b.text());
    }
    case Node::Call: {
        std::vector<Value> a;
        for (auto& x : n.args) a.push_back(eval(*x, t));
        auto num = [&](std::size_t i, double d) { return i < a.size() && a[i].is_number() ? a[i].number() : d; };
        if (n.name == "UPPER") return Value(upper(a[0].text()));
        if (n.name == "DTOS") return Value(a[0].date().dtos());
        if (n.name == "RTRIM" || n.name == "TRIM") return Value(rtrim(a[0].text()));
        if (n.name == "STR")
            return Value(str_number(a[0].number(), static_cast<int>(num(1, 10)), static_cast<int>(num(2, 0))));
        const std::string& s = a[0].text();
        if (n.name == "LEFT") {
            double k = std::max(0.0, num(1, 0));
            return Value(s.substr(0, static_cast<std::size_t>(std::min<double>(k, static_cast<double>(s.size())))));
        }
        if (n.name == "SUBSTR") {
            double st = num(1, 1);
            std::size_t from = st < 1 ? 0 : static_cast<std::size_t>(st - 1);
            if (from >= s.size()) return Value(std::string());
            double len = num(2, static_cast<double>(s.size()));
            return Value(s.substr(from, len < 0 ? 0 : static_cast<std::size_t>(len)));
        }
        return Value();
    }
    }
    return Value();
}

}  // namespace

CompiledKey compile_key(std::string_view text, const Structure& s) {
    CompiledKey k;
    Parser p(text, s);
    NodePtr root = p.parse(k.error);
    if (!root) return k;
    if (root->kind == Node::Field) {
        const FieldDef& f = s[static_cast<std::size_t>(root->field)];
        k.number_width = f.width;
        k.number_decimals = f.decimals;
    }
    k.fn = [root](DbfTable& t) { return eval(*root, t); };
    return k;
}

}  // namespace qaro

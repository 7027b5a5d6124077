#include "platform/xpf_format.h"

#include <cstring>

#include "platform/byte_order.h"
#include "platform/checksum.h"

namespace qaro {

namespace {

constexpr std::size_t kBlock = 40;
constexpr std::size_t kGuard = 11;
constexpr std::size_t kPayload = kBlock - 1;
constexpr int kMaxDepth = 32;
const char kMagic[4] = {'Q', 'X', 'P', 'F'};

void put_u32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

using le::get_u32;

void put_value(std::string& s, const Value& v) {
    switch (v.type()) {
        case ValueType::Nil: s += 'U'; break;
        case ValueType::Text:
            s += 'C';
            put_u32(s, static_cast<std::uint32_t>(v.text().size()));
            s += v.text();
            break;
        case ValueType::Number: {
            s += 'N';
            double d = v.number();
            unsigned char b[8];
            std::memcpy(b, &d, 8);
            s.append(reinterpret_cast<const char*>(b), 8);
            break;
        }
        case ValueType::Date:
            s += 'D';
            put_u32(s, static_cast<std::uint32_t>(v.date().jdn()));
            break;
        case ValueType::Logical:
            s += 'L';
            s += v.logical() ? '\1' : '\0';
            break;
        case ValueType::Array:
            s += 'A';
            put_u32(s, static_cast<std::uint32_t>(v.array().size()));
            for (auto& e : v.array()) put_value(s, e);
            break;
    }
}

std::string frame(const std::string& logical) {
    std::size_t blocks = (logical.size() + kPayload - 1) / kPayload;
    std::string out(blocks * kBlock, '\0');
    std::size_t src = 0;
    for (std::size_t b = 0; b < blocks; ++b) {
        for (std::size_t i = 0; i < kBlock && src < logical.size(); ++i) {
            if (i == kGuard) continue;
            out[b * kBlock + i] = logical[src++];
        }
    }
    return out;
}

bool unframe(std::string_view bytes, std::string& logical, std::string* error) {
    if (bytes.empty() || bytes.size() % kBlock != 0) {
        if (error) *error = "length is not a whole number of blocks";
        return false;
    }
    logical.clear();
    logical.reserve(bytes.size() / kBlock * kPayload);
    for (std::size_t b = 0; b < bytes.size(); b += kBlock) {
        if (bytes[b + kGuard] != '\0') {
            if (error) *error = "damaged block at offset " + std::to_string(b);
            return false;
        }
        logical.append(bytes.substr(b, kGuard));
        logical.append(bytes.substr(b + kGuard + 1, kBlock - kGuard - 1));
    }
    return true;
}

class Reader {
public:
    Reader(const unsigned char* p, std::size_t n) : p_(p), n_(n) {}
    bool take(std::size_t k, const unsigned char*& out) {
        if (n_ - pos_ < k) return false;
        out = p_ + pos_;
        pos_ += k;
        return true;
    }
    bool u8(unsigned& v) {
        const unsigned char* b;
        if (!take(1, b)) return false;
        v = *b;
        return true;
    }
    bool u32(std::uint32_t& v) {
        const unsigned char* b;
        if (!take(4, b)) return false;
        v = get_u32(b);
        return true;
    }
    std::size_t left() const { return n_ - pos_; }
    bool value(unsigned type, Value& out, int depth) {
        switch (type) {
            case 'U': out = Value(); return true;
            case 'C': {
                std::uint32_t len;
                const unsigned char* b;
                if (!u32(len) || !take(len, b)) return false;
                out = Value(std::string(reinterpret_cast<const char*>(b), len));
                return true;
            }
            case 'N': {
                const unsigned char* b;
                if (!take(8, b)) return false;
                double d;
                std::memcpy(&d, b, 8);
                out = Value(d);
                return true;
            }
            case 'D': {
                std::uint32_t j;
                if (!u32(j)) return false;
                auto jdn = static_cast<std::int32_t>(j);
                if (jdn != 0 && (jdn < Date::kMinJdn || jdn > Date::kMaxJdn)) return false;
                out = Value(Date::from_jdn(jdn));
                return true;
            }
            case 'L': {
                unsigned b;
                if (!u8(b) || b > 1) return false;
                out = Value(b == 1);
                return true;
            }
            case 'A': {
                std::uint32_t count;
                if (depth >= kMaxDepth || !u32(count) || count > left()) return false;
                Array a;
                a.reserve(count);
                for (std::uint32_t i = 0; i < count; ++i) {
                    unsigned t;
                    Value e;
                    if (!u8(t) || !value(t, e, depth + 1)) return false;
                    a.push_back(std::move(e));
                }
                out = Value(std::move(a));
                return true;
            }
            default: return false;
        }
    }

private:
    const unsigned char* p_;
    std::size_t n_;
    std::size_t pos_ = 0;
};

}  // namespace

std::string encode_xpf(const std::vector<Variable>& vars) {
    std::string s;
    s.assign(kMagic, 4);
    s += '\1';
    s.append(3, '\0');
    put_u32(s, 0);
    put_u32(s, static_cast<std::uint32_t>(vars.size()));
    for (auto& v : vars) {
        std::string name = v.name.substr(0, 255);
        std::string value;
        put_value(value, v.value);
        s += value[0];
        s += v.scope == Scope::Public ? '\1' : '\0';
        s += static_cast<char>(name.size());
        s += name;
        s.append(value, 1, std::string::npos);
    }
    std::uint32_t total = static_cast<std::uint32_t>(s.size() + 4);
    for (int i = 0; i < 4; ++i) s[8 + i] = static_cast<char>((total >> (8 * i)) & 0xFF);
    put_u32(s, crc32_of(s));
    return frame(s);
}

bool looks_like_xpf(std::string_view bytes) {
    return bytes.size() >= kBlock && bytes.size() % kBlock == 0 && bytes[kGuard] == '\0' &&
           std::memcmp(bytes.data(), kMagic, 4) == 0;
}

std::optional<std::vector<Variable>> decode_xpf(std::string_view bytes, std::string* error) {
    auto bad = [&](const char* why) -> std::optional<std::vector<Variable>> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (!looks_like_xpf(bytes)) return bad("not a variable file (magic missing)");
    std::string logical;
    if (!unframe(bytes, logical, error)) return std::nullopt;
    auto p = reinterpret_cast<const unsigned char*>(logical.data());
    if (p[4] != 1) return bad("unknown format version");
    std::uint32_t total = get_u32(p + 8);
    if (total < 20 || total > logical.size()) return bad("truncated");
    if (logical.size() - total >= kPayload) return bad("trailing blocks after the data");
    for (std::size_t i = total; i < logical.size(); ++i)
        if (logical[i] != '\0') return bad("data after the end");
    if (crc32_of(std::string_view(logical.data(), total - 4)) != get_u32(p + total - 4))
        return bad("checksum mismatch");
    std::uint32_t count = get_u32(p + 12);
    Reader r(p + 16, total - 20);
    if (count > r.left()) return bad("damaged variable count");
    std::vector<Variable> vars;
    vars.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        unsigned type, scope, len;
        const unsigned char* name;
        Variable v;
        if (!r.u8(type) || !r.u8(scope) || scope > 1 || !r.u8(len) || len == 0 || !r.take(len, name))
            return bad("damaged variable record");
        v.name.assign(reinterpret_cast<const char*>(name), len);
        v.scope = scope ? Scope::Public : Scope::Private;
        if (!r.value(type, v.value, 0)) return bad("damaged variable value");
        vars.push_back(std::move(v));
    }
    if (r.left() != 0) return bad("unexpected bytes after the last variable");
    return vars;
}

}  // namespace qaro

#include "component/Collection.h"

#include <simdjson.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <optional>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "component/Error.h"

namespace zelmo {

namespace detail {

// Trivially copyable, so that a parent takes its children in one block copy. A scalar's text
// and a member's key are ranges of the document's text block.
struct Node {
    enum class Kind : std::uint8_t { Text, Object, Array };
    Kind kind = Kind::Text;
    std::uint32_t keyOffset = 0;
    std::uint32_t keyLength = 0;
    std::uint32_t offset = 0;  // text: first byte in chars; collection: first child in nodes
    std::uint32_t length = 0;  // text: byte count; collection: child count
};

// The text block is the literals' text followed by a copy of the input: strings, keys and
// numbers stay where they lie in it, and an escaped string is unescaped over its own raw text,
// which is never shorter.
struct Document {
    static constexpr std::string_view kLiterals = "WahrFalsch";

    std::string chars;
    std::vector<Node> nodes;

    std::string_view Key(const Node& n) const { return {chars.data() + n.keyOffset, n.keyLength}; }
    std::string_view Text(const Node& n) const { return {chars.data() + n.offset, n.length}; }
};

}  // namespace detail

using detail::Document;
using detail::Node;

namespace {

constexpr int kMaxDepth = 1024;

// What the parser is set up for; it grows for larger documents by itself.
constexpr std::size_t kParserCapacity = 64 * 1024;
constexpr std::size_t kKeepBytes = kJsonKeepBytes;

// Freed memory goes back to the allocator, which keeps most of it; after a large document it
// is handed back to the system.
void ReturnFreedMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

std::size_t Footprint(const Document& doc) {
    return doc.chars.capacity() + doc.nodes.capacity() * sizeof(Node);
}

void DeleteDocument(const Document* doc) {
    const bool large = Footprint(*doc) > kKeepBytes;
    delete doc;
    if (large)
        ReturnFreedMemory();
}

[[noreturn]] void Fail(const std::string& what) {
    throw Error(what);
}

[[noreturn, gnu::noinline]] void FailOn(simdjson::error_code code) {
    Fail(std::string("JSON: ") + simdjson::error_message(code));
}

// JSON number grammar, so that a token such as 01, 1. or 1x is rejected rather than
// carried as text.
bool IsJsonNumber(std::string_view s) {
    std::size_t i = 0;
    auto digit = [&](std::size_t k) { return k < s.size() && s[k] >= '0' && s[k] <= '9'; };
    if (i < s.size() && s[i] == '-')
        ++i;
    if (!digit(i))
        return false;
    if (s[i] == '0') {
        ++i;
    } else {
        while (digit(i))
            ++i;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        if (!digit(i))
            return false;
        while (digit(i))
            ++i;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        if (!digit(i))
            return false;
        while (digit(i))
            ++i;
    }
    return i == s.size();
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// simdjson's structural scan, with the SIMD kernel this processor runs best, finds every
// brace, bracket, colon and comma and the first byte of every value outside strings, and
// checks UTF-8, closed strings and control characters. Grammar, values and tree are ours: one
// walk over those positions. (simdjson's On-Demand walk, compiled into our code, takes its
// portable kernel and spends several times as long per value.)
class Scan {
  public:
    // The positions in `padded`, which holds `size` bytes of text and the padding.
    static Scan Of(const char* padded, std::size_t size) {
        auto& impl = Implementation();
        if (size > impl.capacity())
            Check(impl.set_capacity(size));
        Check(impl.stage1(reinterpret_cast<const std::uint8_t*>(padded), size,
                          simdjson::stage1_mode::regular));
        return Scan(impl);
    }
    // Unescapes the string whose raw text starts at `src` into `dst` (nothing when invalid).
    // simdjson 3.1.3 added whether a lone surrogate becomes U+FFFD; JSON text must not hold
    // one, so it fails either way.
    template <typename Impl>
    static std::uint8_t* ParseString(const Impl& impl, const std::uint8_t* src,
                                     std::uint8_t* dst) {
        if constexpr (requires { impl.parse_string(src, dst, false); })
            return impl.parse_string(src, dst, false);
        else
            return impl.parse_string(src, dst);
    }
    static std::size_t KeptBytes() { return Implementation().capacity(); }
    // Gives back what a large document made the scan grow to.
    static void Shrink() {
        auto& impl = Implementation();
        if (impl.capacity() > kParserCapacity && impl.set_capacity(kParserCapacity)) {
            // It grows again by itself for the next document.
        }
    }

    const std::uint32_t* positions;
    std::uint32_t count;
    const simdjson::internal::dom_parser_implementation& impl;

  private:
    explicit Scan(const simdjson::internal::dom_parser_implementation& i)
        : positions(i.structural_indexes.get()), count(i.n_structural_indexes), impl(i) {}

    static void Check(simdjson::error_code code) {
        if (code != simdjson::SUCCESS) [[unlikely]]
            FailOn(code);
    }
    // One per thread: its buffers are reused from telegram to telegram.
    static simdjson::internal::dom_parser_implementation& Implementation() {
        thread_local std::unique_ptr<simdjson::internal::dom_parser_implementation> impl = [] {
            std::unique_ptr<simdjson::internal::dom_parser_implementation> made;
            if (simdjson::get_active_implementation()->create_dom_parser_implementation(
                    kParserCapacity, simdjson::DEFAULT_MAX_DEPTH, made) != simdjson::SUCCESS)
                throw std::bad_alloc();
            return made;
        }();
        return *impl;
    }
};

// The children of one container while it is read; it only grows, and is reused.
class NodeList {
  public:
    Node& Push() {
        if (size_ == capacity_) [[unlikely]]
            Grow();
        Node& node = data_[size_++];
        node = Node{};
        return node;
    }
    Node& operator[](std::size_t k) { return data_[k]; }
    std::size_t Size() const { return size_; }
    const Node* Data() const { return data_.get(); }
    void Clear() { size_ = 0; }
    std::size_t Bytes() const { return capacity_ * sizeof(Node); }
    void Release() {
        data_.reset();
        size_ = capacity_ = 0;
    }

  private:
    void Grow() {
        const std::size_t capacity = std::max<std::size_t>(16, 2 * capacity_);
        auto data = std::make_unique_for_overwrite<Node[]>(capacity);
        std::copy_n(data_.get(), size_, data.get());
        data_ = std::move(data);
        capacity_ = capacity;
    }
    std::unique_ptr<Node[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

// A duplicate key keeps its first position and takes the last value.
class KeyIndex {
  public:
    KeyIndex(const Document& doc, NodeList& members) : doc_(doc), members_(members) {}

    // `key` lies in the document's text block at `keyOffset`.
    Node& Slot(std::string_view key, std::uint32_t keyOffset) {
        const std::size_t n = members_.Size();
        const std::size_t bucket = Bucket(key);
        const std::uint64_t bit = std::uint64_t{1} << (bucket % 64);
        const bool maybeSeen = (seen_[bucket / 64] & bit) != 0;
        seen_[bucket / 64] |= bit;
        if (n < kLinearLimit) {
            for (std::size_t k = 0; maybeSeen && k < n; ++k) {
                // The first byte tells most keys of the same length apart without memcmp.
                const std::string_view seen = doc_.Key(members_[k]);
                if (seen.size() == key.size() && (key.empty() || seen[0] == key[0]) && seen == key)
                    return Reset(k);
            }
        } else {
            if (2 * (n + 1) > table_.size())
                Rehash(n);
            std::uint32_t& entry = Find(key);
            if (entry != 0)
                return Reset(entry - 1);
            entry = static_cast<std::uint32_t>(n + 1);
        }
        Node& node = members_.Push();
        node.keyLength = static_cast<std::uint32_t>(key.size());
        node.keyOffset = keyOffset;
        return node;
    }

  private:
    static constexpr std::size_t kLinearLimit = 32;
    // A key whose bucket is still empty is new to the object: most keys of a record are, and
    // they are taken without comparing them with the keys before them.
    static std::size_t Bucket(std::string_view key) {
        std::size_t h = key.size();
        if (!key.empty()) {
            h = h * 31 + static_cast<unsigned char>(key.front());
            h = h * 31 + static_cast<unsigned char>(key[key.size() / 2]);
            h = h * 31 + static_cast<unsigned char>(key.back());
        }
        return h % 256;
    }
    Node& Reset(std::size_t k) {
        Node& node = members_[k];
        node.kind = Node::Kind::Text;
        node.offset = node.length = 0;
        return node;
    }
    // Large objects: an open-addressing table of member positions + 1, 0 where free.
    std::uint32_t& Find(std::string_view key) {
        const std::size_t mask = table_.size() - 1;
        for (std::size_t i = std::hash<std::string_view>{}(key)&mask;; i = (i + 1) & mask) {
            std::uint32_t& entry = table_[i];
            if (entry == 0 || doc_.Key(members_[entry - 1]) == key)
                return entry;
        }
    }
    void Rehash(std::size_t n) {
        table_.assign(std::max<std::size_t>(128, std::bit_ceil(4 * n)), 0);
        for (std::size_t k = 0; k < n; ++k)
            Find(doc_.Key(members_[k])) = static_cast<std::uint32_t>(k + 1);
    }
    const Document& doc_;
    NodeList& members_;
    std::vector<std::uint32_t> table_;
    std::uint64_t seen_[4] = {};
};

// Builds the tree of one document from its scan. Text is not copied: the document's text block
// holds a copy of the input, and strings, keys and numbers are ranges of it.
class Walker {
  public:
    Walker(Document& doc, const char* input, std::size_t size, const Scan& scan, bool escapes)
        : doc_(doc),
          input_(input),
          size_(size),
          positions_(scan.positions),
          count_(scan.count),
          impl_(scan.impl),
          escapes_(escapes) {}

    void Root(Node& root) {
        Value(root, 1);
        if (next_ != count_)
            Fail("JSON: trailing content");
    }

    // Children are gathered in a scratch list per depth and appended to the document as one
    // block when their parent is complete, so that they lie side by side.
    static std::vector<NodeList>& ScratchLists() {
        thread_local std::vector<NodeList> scratch(kMaxDepth + 2);
        return scratch;
    }
    // simdjson's unescaper writes whole blocks past the end of its text: strings are unescaped
    // here first, then copied over their raw text.
    static std::string& UnescapeBuffer() {
        thread_local std::string buffer;
        return buffer;
    }

  private:
    // The structural character at the walk's position, or none at the end.
    char Peek() const { return next_ < count_ ? input_[positions_[next_]] : '\0'; }
    // A value's text: from its position up to the next one, without the white space after it.
    std::string_view Token(std::uint32_t k) const {
        const std::size_t end = k + 1 < count_ ? positions_[k + 1] : size_;
        std::string_view token(input_ + positions_[k], end - positions_[k]);
        while (!token.empty() && IsSpace(token.back()))
            token.remove_suffix(1);
        return token;
    }
    std::uint32_t OffsetOf(const char* inInput) const {
        return static_cast<std::uint32_t>(Document::kLiterals.size() +
                                          static_cast<std::size_t>(inInput - input_));
    }
    static void SetText(Node& node, std::uint32_t offset, std::size_t length) {
        node.kind = Node::Kind::Text;
        node.offset = offset;
        node.length = static_cast<std::uint32_t>(length);
    }

    // The string token at `k` as a range of the text block: where it lies, or unescaped over
    // its own raw text, which is never shorter.
    [[gnu::always_inline]] std::pair<std::uint32_t, std::size_t> String(std::uint32_t k) {
        const std::string_view token = Token(k);
        if (token.size() < 2 || token.front() != '"' || token.back() != '"')
            Fail("JSON: invalid string");
        const std::string_view raw = token.substr(1, token.size() - 2);
        const std::uint32_t offset = OffsetOf(raw.data());
        if (!escapes_ || std::memchr(raw.data(), '\\', raw.size()) == nullptr)
            return {offset, raw.size()};
        return {offset, Unescape(raw, offset)};
    }
    [[gnu::noinline]] std::size_t Unescape(std::string_view raw, std::uint32_t offset) {
        std::string& unescaped = UnescapeBuffer();
        if (unescaped.size() < raw.size() + simdjson::SIMDJSON_PADDING)
            unescaped.resize(raw.size() + simdjson::SIMDJSON_PADDING);
        auto* const out = reinterpret_cast<std::uint8_t*>(unescaped.data());
        const std::uint8_t* end =
            Scan::ParseString(impl_, reinterpret_cast<const std::uint8_t*>(raw.data()), out);
        if (end == nullptr)
            Fail("JSON: invalid escape");
        const auto length = static_cast<std::size_t>(end - out);
        if (length > raw.size())
            Fail("JSON: invalid string");
        std::memcpy(doc_.chars.data() + offset, unescaped.data(), length);
        return length;
    }

    void Value(Node& out, int depth) {
        if (depth > kMaxDepth)
            Fail("JSON: nesting too deep");
        switch (Peek()) {
            case '{':
                Object(out, depth);
                return;
            case '[':
                Array(out, depth);
                return;
            case '"': {
                const auto [offset, length] = String(next_++);
                SetText(out, offset, length);
                return;
            }
            case '\0':
                Fail("JSON: value missing");
            default:
                break;
        }
        const std::string_view token = Token(next_++);
        if (token == "true") {
            SetText(out, 0, 4);
        } else if (token == "false") {
            SetText(out, 4, 6);
        } else if (token == "null") {
            SetText(out, 0, 0);
        } else if (IsJsonNumber(token)) {
            SetText(out, OffsetOf(token.data()), token.size());
        } else {
            Fail(token.front() == 't' || token.front() == 'f' || token.front() == 'n'
                     ? "JSON: invalid literal"
                     : "JSON: invalid value");
        }
    }

    // A member or element: most are strings, read here without a call.
    [[gnu::always_inline]] void Member(Node& out, int depth) {
        if (depth <= kMaxDepth && Peek() == '"') {
            const auto [offset, length] = String(next_++);
            SetText(out, offset, length);
        } else {
            Value(out, depth);
        }
    }

    void Object(Node& out, int depth) {
        NodeList& members = Scratch(depth);
        KeyIndex index(doc_, members);
        if (++next_; Peek() == '}') {
            ++next_;
        } else {
            for (;;) {
                if (Peek() != '"')
                    Fail("JSON: key expected");
                const auto [keyOffset, keyLength] = String(next_++);
                if (Peek() != ':')
                    Fail("JSON: ':' expected");
                ++next_;
                const std::string_view key(doc_.chars.data() + keyOffset, keyLength);
                Member(index.Slot(key, keyOffset), depth + 1);
                if (Closes('}'))
                    break;
            }
        }
        TakeChildren(members, out);
        out.kind = Node::Kind::Object;
    }

    void Array(Node& out, int depth) {
        NodeList& elements = Scratch(depth);
        if (++next_; Peek() == ']') {
            ++next_;
        } else {
            for (;;) {
                Member(elements.Push(), depth + 1);
                if (Closes(']'))
                    break;
            }
        }
        TakeChildren(elements, out);
        out.kind = Node::Kind::Array;
    }

    // After a member: true at the container's end, false at a comma; anything else fails.
    bool Closes(char end) {
        const char c = Peek();
        ++next_;
        if (c == end)
            return true;
        if (c != ',')
            Fail(std::string("JSON: ',' or '") + end + "' expected");
        return false;
    }

    static NodeList& Scratch(int depth) {
        auto& list = ScratchLists()[static_cast<std::size_t>(depth)];
        list.Clear();
        return list;
    }
    void TakeChildren(NodeList& children, Node& parent) {
        parent.offset = static_cast<std::uint32_t>(doc_.nodes.size());
        parent.length = static_cast<std::uint32_t>(children.Size());
        doc_.nodes.insert(doc_.nodes.end(), children.Data(), children.Data() + children.Size());
        children.Clear();
    }

    Document& doc_;
    const char* input_;
    std::size_t size_;
    const std::uint32_t* positions_;
    std::uint32_t count_;
    std::uint32_t next_ = 0;
    const simdjson::internal::dom_parser_implementation& impl_;
    const bool escapes_;
};

}  // namespace

Collection DecodeDocument(std::string_view json, const char* padded, std::size_t room) {
    static_assert(kJsonPadding >= simdjson::SIMDJSON_PADDING);
    if (room < json.size() + simdjson::SIMDJSON_PADDING)
        Fail("JSON: buffer without padding");
    // Offsets are 32-bit; frames are limited far below this.
    if (json.size() >= (std::uint64_t{1} << 31))
        Fail("JSON: document too large");
    // Whatever a large document made the scan and the scratch lists grow to is given back once
    // it is decoded (or has failed to decode).
    struct Shrink {
        bool large;
        ~Shrink() {
            if (!large)
                return;
            for (auto& list : Walker::ScratchLists()) {
                if (list.Bytes() > kKeepBytes / 16)
                    list.Release();
            }
            if (Walker::UnescapeBuffer().capacity() > kKeepBytes / 16)
                std::string().swap(Walker::UnescapeBuffer());
            Scan::Shrink();
            ReturnFreedMemory();
        }
    } shrink{json.size() > kKeepBytes};

    const Scan scan = Scan::Of(padded, json.size());
    std::shared_ptr<Document> document(new Document, DeleteDocument);
    document->chars.reserve(Document::kLiterals.size() + json.size());
    document->chars.append(Document::kLiterals).append(padded, json.size());
    document->nodes.reserve(scan.count / 2 + 4);
    Walker walker(*document, padded, json.size(), scan,
                  std::memchr(padded, '\\', json.size()) != nullptr);
    Node root;
    walker.Root(root);
    document->nodes.push_back(root);
    const Node* rootNode = &document->nodes.back();
    return Collection(std::move(document), rootNode);
}

std::size_t JsonDecoderKeptBytes() {
    std::size_t bytes = Scan::KeptBytes() + Walker::UnescapeBuffer().capacity();
    for (const auto& list : Walker::ScratchLists())
        bytes += list.Bytes();
    return bytes;
}

Collection JSONDecodieren(std::string_view json) {
    thread_local std::string buffer;
    struct Release {
        bool large;
        ~Release() {
            if (large) {
                std::string().swap(buffer);
                ReturnFreedMemory();
            }
        }
    } release{json.size() > kKeepBytes};
    buffer.assign(json);
    buffer.resize(json.size() + kJsonPadding);
    return DecodeDocument(json, buffer.data(), buffer.size());
}

Collection JSONDecodieren(PaddedJson json) {
    return DecodeDocument(json.text, json.text.data(), json.text.size() + kJsonPadding);
}

bool Collection::IsCollection() const noexcept {
    return node_ && node_->kind != Node::Kind::Text;
}
bool Collection::IsObject() const noexcept {
    return node_ && node_->kind == Node::Kind::Object;
}
bool Collection::IsArray() const noexcept {
    return node_ && node_->kind == Node::Kind::Array;
}

std::string_view Collection::Text() const {
    if (!node_)
        Fail("Kein Objekt vorhanden");
    if (node_->kind != Node::Kind::Text)
        Fail("Eine Collection ist kein Text");
    return doc_->Text(*node_);
}

std::string_view Collection::TextOrEmpty() const noexcept {
    return (node_ && node_->kind == Node::Kind::Text) ? doc_->Text(*node_) : std::string_view();
}

std::size_t Collection::Count() const {
    if (!IsCollection())
        Fail("Keine Collection");
    return node_->length;
}

Collection Collection::Child(std::size_t position) const {
    return Collection(doc_, &doc_->nodes[node_->offset + position]);
}

Collection Collection::Item(std::string_view key) const {
    Collection found = Find(key);
    if (found.IsNothing())
        Fail("Schlüssel nicht vorhanden: " + std::string(key));
    return found;
}

Collection Collection::Item(std::size_t position) const {
    if (Count() <= position)
        Fail("Index außerhalb des gültigen Bereichs");
    return Child(position);
}

std::string_view Collection::KeyByIndex(std::size_t position) const {
    if (Count() <= position)
        Fail("Index außerhalb des gültigen Bereichs");
    return node_->kind == Node::Kind::Object ? doc_->Key(doc_->nodes[node_->offset + position])
                                             : std::string_view();
}

bool Collection::Exists(std::string_view key) const noexcept {
    return !Find(key).IsNothing();
}

Collection Collection::Find(std::string_view key) const noexcept {
    if (!IsObject())
        return {};
    const Node* first = &doc_->nodes[node_->offset];
    for (std::uint32_t k = 0; k < node_->length; ++k) {
        if (doc_->Key(first[k]) == key)
            return Collection(doc_, first + k);
    }
    return {};
}

std::string_view Collection::TextOrEmpty(std::string_view key, std::size_t& hint) const noexcept {
    if (!IsObject())
        return {};
    const Node* first = &doc_->nodes[node_->offset];
    const auto text = [&](std::size_t k) {
        return first[k].kind == Node::Kind::Text ? doc_->Text(first[k]) : std::string_view();
    };
    if (hint < node_->length && doc_->Key(first[hint]) == key)
        return text(hint);
    for (std::uint32_t k = 0; k < node_->length; ++k) {
        if (doc_->Key(first[k]) == key) {
            hint = k;
            return text(k);
        }
    }
    return {};
}

Collection Collection::At(std::size_t position) const noexcept {
    if (!IsCollection() || position >= node_->length)
        return {};
    return Child(position);
}

}  // namespace zelmo

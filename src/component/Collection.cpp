#include "component/Collection.h"

#include <simdjson.h>

#include <cstring>
#include <optional>
#include <unordered_map>

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

struct Document {
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

// Called for every step through the document: the check is inline, the failure is not.
inline void Check(simdjson::error_code code) {
    if (code != simdjson::SUCCESS) [[unlikely]]
        FailOn(code);
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

std::string_view TrimTrailingSpace(std::string_view s) {
    while (!s.empty() &&
           (s.back() == ' ' || s.back() == '\t' || s.back() == '\n' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

// Strings are read straight from the input when they hold no escape, which most keys and
// values do not: simdjson's own copy into its buffer before ours is spared. The input's
// validity (UTF-8, no raw control character, closed strings) was checked as a whole before.
// Most documents hold no backslash at all, and then no string is searched for one.
bool HasEscape(std::string_view content, bool documentHasEscape) {
    return documentHasEscape && std::memchr(content.data(), '\\', content.size()) != nullptr;
}

// A string value's text from its token (the quoted string and the white space after it).
std::optional<std::string_view> PlainString(std::string_view token, bool documentHasEscape) {
    token = TrimTrailingSpace(token);
    if (token.size() < 2 || token.front() != '"' || token.back() != '"')
        return std::nullopt;
    const std::string_view content = token.substr(1, token.size() - 2);
    if (HasEscape(content, documentHasEscape))
        return std::nullopt;
    return content;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// A key's text from its first byte (after the opening quote) and the start of its value:
// between them lie only the closing quote, the colon and white space.
std::optional<std::string_view> PlainKey(const char* first, const char* value,
                                         bool documentHasEscape) {
    const char* p = value;
    while (p > first && IsSpace(p[-1]))
        --p;
    if (p == first || p[-1] != ':')
        return std::nullopt;
    --p;
    while (p > first && IsSpace(p[-1]))
        --p;
    if (p == first || p[-1] != '"')
        return std::nullopt;
    const std::string_view content(first, static_cast<std::size_t>(p - 1 - first));
    if (HasEscape(content, documentHasEscape))
        return std::nullopt;
    return content;
}

// Where the values of one document are put while it is decoded.
class Builder {
  public:
    Builder(Document& doc, bool escapes) : doc_(doc), escapes_(escapes) {}

    std::uint32_t AddText(std::string_view text) {
        const auto offset = static_cast<std::uint32_t>(doc_.chars.size());
        doc_.chars.append(text);
        return offset;
    }
    void SetText(Node& node, std::string_view text) {
        node.kind = Node::Kind::Text;
        node.length = static_cast<std::uint32_t>(text.size());
        node.offset = AddText(text);
    }
    std::string_view Key(const Node& node) const { return doc_.Key(node); }

    // Children are gathered in a scratch list per depth and appended to the document as one
    // block when their parent is complete, so that they lie side by side.
    static std::vector<std::vector<Node>>& ScratchLists() {
        thread_local std::vector<std::vector<Node>> scratch(kMaxDepth + 2);
        return scratch;
    }
    static std::vector<Node>& Scratch(int depth) {
        auto& list = ScratchLists()[static_cast<std::size_t>(depth)];
        list.clear();
        return list;
    }
    void TakeChildren(std::vector<Node>& children, Node& parent) {
        parent.offset = static_cast<std::uint32_t>(doc_.nodes.size());
        parent.length = static_cast<std::uint32_t>(children.size());
        doc_.nodes.insert(doc_.nodes.end(), children.begin(), children.end());
        children.clear();
    }

    template <typename V>
    void Scalar(V& value, simdjson::ondemand::json_type type, Node& out);
    void Value(simdjson::ondemand::value value, Node& out, int depth);
    template <typename Obj>
    void Object(Obj object, Node& out, int depth);
    template <typename Arr>
    void Array(Arr array, Node& out, int depth);

  private:
    Document& doc_;
    const bool escapes_;
};

// The root and nested values have the same reading rules but different simdjson types.
template <typename V>
void Builder::Scalar(V& value, simdjson::ondemand::json_type type, Node& out) {
    using simdjson::ondemand::json_type;
    switch (type) {
        case json_type::string: {
            if (const auto plain = PlainString(value.raw_json_token(), escapes_)) {
                // Still taken as a string, without unescaping: a value left unread would be
                // skipped, and simdjson skips a string followed by a colon as a key, so that
                // {"a": "b": 1} would pass.
                simdjson::ondemand::raw_json_string raw;
                Check(value.get_raw_json_string().get(raw));
                SetText(out, *plain);
                break;
            }
            std::string_view s;
            Check(value.get_string().get(s));
            SetText(out, s);
            break;
        }
        case json_type::number: {
            std::string_view raw = TrimTrailingSpace(value.raw_json_token());
            if (!IsJsonNumber(raw))
                Fail("JSON: invalid number");
            SetText(out, raw);
            break;
        }
        case json_type::boolean: {
            // Judged from the token too: simdjson takes a root `false)` or `truex` as the
            // literal alone.
            const std::string_view raw = TrimTrailingSpace(value.raw_json_token());
            if (raw != "true" && raw != "false")
                Fail("JSON: invalid literal");
            SetText(out, raw == "true" ? "Wahr" : "Falsch");
            break;
        }
        case json_type::null: {
            // Judged from the token itself: simdjson's own test refuses a root null that is
            // followed by white space and takes a root `null)` as null.
            if (TrimTrailingSpace(value.raw_json_token()) != "null")
                Fail("JSON: invalid literal");
            SetText(out, {});
            break;
        }
        default:
            Fail("JSON: unexpected value");
    }
}

// A duplicate key keeps its first position and takes the last value.
class KeyIndex {
  public:
    KeyIndex(Builder& builder, std::vector<Node>& members) : builder_(builder), members_(members) {}

    Node& Slot(std::string_view key) {
        const std::size_t n = members_.size();
        const std::size_t bucket = Bucket(key);
        const std::uint64_t bit = std::uint64_t{1} << (bucket % 64);
        const bool maybeSeen = (seen_[bucket / 64] & bit) != 0;
        seen_[bucket / 64] |= bit;
        if (n < kLinearLimit) {
            for (std::size_t k = 0; maybeSeen && k < n; ++k) {
                // The first byte tells most keys of the same length apart without memcmp.
                const std::string_view seen = builder_.Key(members_[k]);
                if (seen.size() == key.size() && (key.empty() || seen[0] == key[0]) && seen == key)
                    return Reset(k);
            }
        } else {
            if (map_.empty()) {
                for (std::size_t k = 0; k < n; ++k)
                    map_.emplace(builder_.Key(members_[k]), k);
            }
            auto [it, added] = map_.emplace(std::string(key), n);
            if (!added)
                return Reset(it->second);
        }
        Node& node = members_.emplace_back();
        node.keyLength = static_cast<std::uint32_t>(key.size());
        node.keyOffset = builder_.AddText(key);
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
    Builder& builder_;
    std::vector<Node>& members_;
    std::unordered_map<std::string, std::size_t> map_;
    std::uint64_t seen_[4] = {};
};

template <typename Obj>
void Builder::Object(Obj object, Node& out, int depth) {
    std::vector<Node>& members = Scratch(depth);
    KeyIndex index(*this, members);
    for (auto result : object) {
        simdjson::ondemand::field field;
        Check(std::move(result).get(field));
        simdjson::ondemand::value& child = field.value();
        std::string_view key;
        if (const auto plain = PlainKey(reinterpret_cast<const char*>(field.key().raw()),
                                        child.raw_json_token().data(), escapes_))
            key = *plain;
        else
            Check(field.unescaped_key().get(key));
        Value(child, index.Slot(key), depth + 1);
    }
    TakeChildren(members, out);
    out.kind = Node::Kind::Object;
}

template <typename Arr>
void Builder::Array(Arr array, Node& out, int depth) {
    std::vector<Node>& elements = Scratch(depth);
    for (auto element : array) {
        simdjson::ondemand::value child;
        Check(element.get(child));
        Value(child, elements.emplace_back(), depth + 1);
    }
    TakeChildren(elements, out);
    out.kind = Node::Kind::Array;
}

void Builder::Value(simdjson::ondemand::value value, Node& out, int depth) {
    using simdjson::ondemand::json_type;
    if (depth > kMaxDepth)
        Fail("JSON: nesting too deep");
    json_type type{};
    Check(value.type().get(type));
    if (type == json_type::object) {
        simdjson::ondemand::object object;
        Check(value.get_object().get(object));
        Object(object, out, depth);
    } else if (type == json_type::array) {
        simdjson::ondemand::array array;
        Check(value.get_array().get(array));
        Array(array, out, depth);
    } else {
        Scalar(value, type, out);
    }
}

}  // namespace

Collection DecodeDocument(std::string_view json, const char* padded, std::size_t room) {
    using simdjson::ondemand::json_type;
    static_assert(kJsonPadding >= simdjson::SIMDJSON_PADDING);
    // Offsets are 32-bit; frames are limited far below this.
    if (json.size() >= (std::uint64_t{1} << 31))
        Fail("JSON: document too large");
    // One parser per thread: its buffers are reused from telegram to telegram. Its depth
    // limit lies above ours, so that Builder::Value refuses deep input before simdjson sees it.
    thread_local simdjson::ondemand::parser parser = [] {
        simdjson::ondemand::parser p;
        if (p.allocate(kParserCapacity, kMaxDepth + 8) != simdjson::SUCCESS)
            throw std::bad_alloc();
        return p;
    }();
    // Whatever a large document made the parser and the buffers grow to is given back once it
    // is decoded (or has failed to decode).
    struct Shrink {
        bool large;
        ~Shrink() {
            if (!large)
                return;
            for (auto& list : Builder::ScratchLists()) {
                if (list.capacity() * sizeof(Node) > kKeepBytes / 16)
                    std::vector<Node>().swap(list);
            }
            if (parser.allocate(kParserCapacity, kMaxDepth + 8) != simdjson::SUCCESS) {
                // It grows again by itself for the next document.
            }
            ReturnFreedMemory();
        }
    } shrink{json.size() > kKeepBytes};

    simdjson::padded_string_view paddedView(padded, json.size(), room);
    std::shared_ptr<Document> document(new Document, DeleteDocument);
    document->chars.reserve(json.size() + 16);
    document->nodes.reserve(json.size() / 24 + 4);
    Builder builder(*document, std::memchr(json.data(), '\\', json.size()) != nullptr);
    Node root;

    simdjson::ondemand::document doc;
    Check(parser.iterate(paddedView).get(doc));
    json_type type{};
    Check(doc.type().get(type));
    if (type == json_type::object) {
        simdjson::ondemand::object object;
        Check(doc.get_object().get(object));
        builder.Object(object, root, 1);
    } else if (type == json_type::array) {
        simdjson::ondemand::array array;
        Check(doc.get_array().get(array));
        builder.Array(array, root, 1);
    } else {
        // A scalar root must be the whole document.
        std::string_view all = TrimTrailingSpace(json);
        while (!all.empty() && (all.front() == ' ' || all.front() == '\t' || all.front() == '\n' ||
                                all.front() == '\r')) {
            all.remove_prefix(1);
        }
        std::string_view token;
        Check(doc.raw_json_token().get(token));
        if (TrimTrailingSpace(token).size() != all.size())
            Fail("JSON: trailing content");
        builder.Scalar(doc, type, root);
    }
    // Only the end of the input may follow the root value.
    if (root.kind != Node::Kind::Text && doc.current_location().error() != simdjson::OUT_OF_BOUNDS)
        Fail("JSON: trailing content");
    document->nodes.push_back(root);
    const Node* rootNode = &document->nodes.back();
    return Collection(std::move(document), rootNode);
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

Collection Collection::At(std::size_t position) const noexcept {
    if (!IsCollection() || position >= node_->length)
        return {};
    return Child(position);
}

}  // namespace zelmo

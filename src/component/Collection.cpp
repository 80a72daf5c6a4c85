#include "component/Collection.h"

#include <simdjson.h>

#include <algorithm>
#include <iterator>
#include <unordered_map>

#include "component/Error.h"

namespace zelmo {

namespace detail {
struct Node {
    enum class Kind : std::uint8_t { Text, Object, Array };
    Kind kind = Kind::Text;
    std::string key;          // the member's key when the parent is an object
    std::string text;         // a scalar's text
    std::vector<Node> items;  // members or elements in document order
};
}  // namespace detail

using detail::Node;

namespace {

constexpr int kMaxDepth = 1024;

const std::string& EmptyText() {
    static const std::string empty;
    return empty;
}

[[noreturn]] void Fail(const std::string& what) {
    throw Error(what);
}

void Check(simdjson::error_code code) {
    if (code != simdjson::SUCCESS)
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

std::string_view TrimTrailingSpace(std::string_view s) {
    while (!s.empty() &&
           (s.back() == ' ' || s.back() == '\t' || s.back() == '\n' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

// The root and nested values have the same reading rules but different simdjson types.
template <typename V>
void BuildScalar(V& value, simdjson::ondemand::json_type type, Node& out) {
    using simdjson::ondemand::json_type;
    out.kind = Node::Kind::Text;
    switch (type) {
        case json_type::string: {
            std::string_view s;
            Check(value.get_string().get(s));
            out.text.assign(s);
            break;
        }
        case json_type::number: {
            std::string_view raw = TrimTrailingSpace(value.raw_json_token());
            if (!IsJsonNumber(raw))
                Fail("JSON: invalid number");
            out.text.assign(raw);
            break;
        }
        case json_type::boolean: {
            bool b = false;
            Check(value.get_bool().get(b));
            out.text = b ? "Wahr" : "Falsch";
            break;
        }
        case json_type::null: {
            bool isNull = false;
            Check(value.is_null().get(isNull));
            if (!isNull)
                Fail("JSON: invalid literal");
            break;
        }
        default:
            Fail("JSON: unexpected value");
    }
}

void BuildValue(simdjson::ondemand::value value, Node& out, int depth);

// Children are gathered in a scratch list per depth and moved into their parent in one
// allocation: growing each parent's vector member by member costs more than the parse.
std::vector<Node>& Scratch(int depth) {
    thread_local std::vector<std::vector<Node>> scratch(kMaxDepth + 2);
    auto& list = scratch[static_cast<std::size_t>(depth)];
    list.clear();
    return list;
}

void TakeChildren(std::vector<Node>& from, Node& out) {
    out.items.reserve(from.size());
    std::move(from.begin(), from.end(), std::back_inserter(out.items));
    from.clear();
}

// A duplicate key keeps its first position and takes the last value.
class KeyIndex {
  public:
    explicit KeyIndex(std::vector<Node>& members) : members_(members) {}

    Node& Slot(std::string_view key) {
        const std::size_t n = members_.size();
        if (n < kLinearLimit) {
            for (std::size_t k = 0; k < n; ++k) {
                if (members_[k].key == key)
                    return Reset(k);
            }
        } else {
            if (map_.empty()) {
                for (std::size_t k = 0; k < n; ++k)
                    map_.emplace(members_[k].key, k);
            }
            auto it = map_.find(std::string(key));
            if (it != map_.end())
                return Reset(it->second);
            map_.emplace(std::string(key), n);
        }
        Node& node = members_.emplace_back();
        node.key.assign(key);
        return node;
    }

  private:
    static constexpr std::size_t kLinearLimit = 32;
    Node& Reset(std::size_t k) {
        std::string key = std::move(members_[k].key);
        members_[k] = Node{};
        members_[k].key = std::move(key);
        return members_[k];
    }
    std::vector<Node>& members_;
    std::unordered_map<std::string, std::size_t> map_;
};

template <typename Obj>
void BuildObject(Obj object, Node& out, int depth) {
    out.kind = Node::Kind::Object;
    std::vector<Node>& members = Scratch(depth);
    KeyIndex index(members);
    for (auto field : object) {
        std::string_view key;
        Check(field.unescaped_key().get(key));
        simdjson::ondemand::value child;
        Check(field.value().get(child));
        BuildValue(child, index.Slot(key), depth + 1);
    }
    TakeChildren(members, out);
}

template <typename Arr>
void BuildArray(Arr array, Node& out, int depth) {
    out.kind = Node::Kind::Array;
    std::vector<Node>& elements = Scratch(depth);
    for (auto element : array) {
        simdjson::ondemand::value child;
        Check(element.get(child));
        BuildValue(child, elements.emplace_back(), depth + 1);
    }
    TakeChildren(elements, out);
}

void BuildValue(simdjson::ondemand::value value, Node& out, int depth) {
    using simdjson::ondemand::json_type;
    if (depth > kMaxDepth)
        Fail("JSON: nesting too deep");
    json_type type{};
    Check(value.type().get(type));
    if (type == json_type::object) {
        simdjson::ondemand::object object;
        Check(value.get_object().get(object));
        BuildObject(object, out, depth);
    } else if (type == json_type::array) {
        simdjson::ondemand::array array;
        Check(value.get_array().get(array));
        BuildArray(array, out, depth);
    } else {
        BuildScalar(value, type, out);
    }
}

}  // namespace

Collection JSONDecodieren(std::string_view json) {
    using simdjson::ondemand::json_type;
    // One parser per thread: its buffers are reused from telegram to telegram. Its depth
    // limit lies above ours, so that BuildValue refuses deep input before simdjson sees it.
    thread_local simdjson::ondemand::parser parser = [] {
        simdjson::ondemand::parser p;
        if (p.allocate(64 * 1024, kMaxDepth + 8) != simdjson::SUCCESS)
            throw std::bad_alloc();
        return p;
    }();
    thread_local std::string buffer;
    buffer.assign(json);
    buffer.resize(json.size() + simdjson::SIMDJSON_PADDING);
    simdjson::padded_string_view padded(buffer.data(), json.size(), buffer.size());

    auto root = std::make_shared<Node>();
    simdjson::ondemand::document doc;
    Check(parser.iterate(padded).get(doc));
    json_type type{};
    Check(doc.type().get(type));
    if (type == json_type::object) {
        simdjson::ondemand::object object;
        Check(doc.get_object().get(object));
        BuildObject(object, *root, 1);
    } else if (type == json_type::array) {
        simdjson::ondemand::array array;
        Check(doc.get_array().get(array));
        BuildArray(array, *root, 1);
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
        BuildScalar(doc, type, *root);
        return Collection(std::shared_ptr<const Node>(std::move(root)));
    }
    // Only the end of the input may follow the root value.
    if (doc.current_location().error() != simdjson::OUT_OF_BOUNDS)
        Fail("JSON: trailing content");
    return Collection(std::shared_ptr<const Node>(std::move(root)));
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

const std::string& Collection::Text() const {
    if (!node_)
        Fail("Kein Objekt vorhanden");
    if (node_->kind != Node::Kind::Text)
        Fail("Eine Collection ist kein Text");
    return node_->text;
}

const std::string& Collection::TextOrEmpty() const noexcept {
    return (node_ && node_->kind == Node::Kind::Text) ? node_->text : EmptyText();
}

std::size_t Collection::Count() const {
    if (!IsCollection())
        Fail("Keine Collection");
    return node_->items.size();
}

Collection Collection::Child(std::size_t position) const {
    // Aliasing handle: shares ownership of the whole document, points at the child.
    return Collection(std::shared_ptr<const Node>(node_, &node_->items[position]));
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

const std::string& Collection::KeyByIndex(std::size_t position) const {
    if (Count() <= position)
        Fail("Index außerhalb des gültigen Bereichs");
    return node_->kind == Node::Kind::Object ? node_->items[position].key : EmptyText();
}

bool Collection::Exists(std::string_view key) const noexcept {
    return !Find(key).IsNothing();
}

Collection Collection::Find(std::string_view key) const noexcept {
    if (!IsObject())
        return {};
    const auto& items = node_->items;
    for (std::size_t k = 0; k < items.size(); ++k) {
        if (items[k].key == key)
            return Child(k);
    }
    return {};
}

Collection Collection::At(std::size_t position) const noexcept {
    if (!IsCollection() || position >= node_->items.size())
        return {};
    return Child(position);
}

}  // namespace zelmo

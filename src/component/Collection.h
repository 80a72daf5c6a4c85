#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelmo {

namespace detail {
struct Node;
struct Document;
}  // namespace detail

// A handle to one value of a decoded JSON document: an object (keys in document order), an
// array (positions from 0) or a scalar read as text. Copying a handle shares the subtree; the
// document lives as long as any handle into it. A default-constructed handle is "nothing"
// (no collection received yet).
//
// Scalars read as text: strings are their text, numbers their JSON text exactly as sent,
// true/false are "Wahr"/"Falsch", null is empty.
class Collection {
  public:
    Collection() = default;

    bool IsNothing() const noexcept { return node_ == nullptr; }
    bool IsCollection() const noexcept;  // object or array
    bool IsObject() const noexcept;
    bool IsArray() const noexcept;

    // The scalar's text, valid as long as a handle into its document lives. Throws Error for
    // nothing and for a collection.
    std::string_view Text() const;

    // Number of members or elements. Throws Error unless a collection.
    std::size_t Count() const;

    // Member by key (exact, case-sensitive). Throws Error when absent or not an object.
    Collection Item(std::string_view key) const;
    // Member or element by position from 0. Throws Error when out of range.
    Collection Item(std::size_t position) const;
    Collection ItemByIndex(std::size_t position) const { return Item(position); }
    // Key at a position from 0; an array's positions have no key and give empty text.
    std::string_view KeyByIndex(std::size_t position) const;
    // Whether an object has the key; false for arrays, scalars and nothing.
    bool Exists(std::string_view key) const noexcept;

    // Lenient reads for callers that must go on: nothing instead of an exception.
    Collection Find(std::string_view key) const noexcept;
    // Find(key).TextOrEmpty() without a handle, trying position `hint` first and leaving there
    // the position found: the records of one list share their key order, so a walk over them
    // finds each field at once.
    std::string_view TextOrEmpty(std::string_view key, std::size_t& hint) const noexcept;
    Collection At(std::size_t position) const noexcept;
    // The text of a scalar, or empty text for nothing and for a collection.
    std::string_view TextOrEmpty() const noexcept;

  private:
    friend Collection DecodeDocument(std::string_view json, const char* padded, std::size_t room);
    Collection(std::shared_ptr<const detail::Document> doc, const detail::Node* node)
        : doc_(std::move(doc)), node_(node) {}
    Collection Child(std::size_t position) const;

    // The whole decoded document is one block of nodes and one block of text; a handle keeps
    // the document alive and points at its node.
    std::shared_ptr<const detail::Document> doc_;
    const detail::Node* node_ = nullptr;
};

// Decodes a JSON document (UTF-8 text). The root may be any value. Fails with Error on
// invalid JSON, trailing content, or nesting deeper than 1024 levels.
Collection JSONDecodieren(std::string_view json);

// Bytes the decoder may read past the end of its text.
inline constexpr std::size_t kJsonPadding = 64;

// A document or decoding buffer above this size is given back to the system as soon as it is
// no longer needed, so that one huge start list does not pin its size for the rest of a show.
inline constexpr std::size_t kJsonKeepBytes = std::size_t{4} * 1024 * 1024;

// Bytes the decoder keeps on this thread between documents (its scan, scratch lists and
// unescaping buffer): after a document above kJsonKeepBytes they are back near their start.
std::size_t JsonDecoderKeptBytes();

// JSON text followed by at least kJsonPadding bytes of its own buffer, of any content: the
// decoder reads it where it lies instead of copying it into a padded buffer first.
struct PaddedJson {
    std::string_view text;
};
Collection JSONDecodieren(PaddedJson json);

}  // namespace zelmo

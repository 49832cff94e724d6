#pragma once
// The index of a keyed collection: key -> newest position, keys compared by the user's locale
// (KeyCompare.h). The locale comparison is slow, and nearly every key is a plain ABAP name,
// for which it says "equal" exactly when the text is equal; such keys are looked up by hash.
// Once a key that is not plain enters the index, a locale-ordered map takes over all keys.
#include "KeyCompare.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tolvane {

class KeyIndex {
public:
    KeyIndex() = default;
    KeyIndex(const KeyIndex& other);
    KeyIndex& operator=(const KeyIndex&) = delete;

    // The newest position filed under a key equal to `key`.
    std::optional<size_t> Find(std::wstring_view key) const;
    bool Contains(std::wstring_view key) const { return Find(key).has_value(); }
    // Files `key` at `position`; a later position of an equal key replaces an earlier one.
    void Set(std::wstring key, size_t position);

    // Letters, digits and underscores: text whose locale comparison is plain equality.
    static bool IsPlain(std::wstring_view key) noexcept;

private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::wstring_view key) const noexcept { return std::hash<std::wstring_view>()(key); }
    };
    struct Equal {
        using is_transparent = void;
        bool operator()(std::wstring_view a, std::wstring_view b) const noexcept { return a == b; }
    };
    using Ordered = std::map<std::wstring, size_t, KeyLess>;

    void BuildOrdered();

    std::unordered_map<std::wstring, size_t, Hash, Equal> exact_; // while every key is plain
    std::unique_ptr<Ordered> ordered_;                            // once a key is not plain
};

} // namespace tolvane

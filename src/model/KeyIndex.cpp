#include "KeyIndex.h"

#include <algorithm>
#include <vector>

namespace tolvane {

KeyIndex::KeyIndex(const KeyIndex& other)
    : exact_(other.exact_), ordered_(other.ordered_ ? std::make_unique<Ordered>(*other.ordered_) : nullptr)
{
}

bool KeyIndex::IsPlain(std::wstring_view key) noexcept
{
    return std::all_of(key.begin(), key.end(), [](wchar_t c) {
        return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'_';
    });
}

std::optional<size_t> KeyIndex::Find(std::wstring_view key) const
{
    if (ordered_) {
        auto found = ordered_->find(key);
        return found == ordered_->end() ? std::nullopt : std::optional<size_t>(found->second);
    }
    if (IsPlain(key)) {
        auto found = exact_.find(key);
        return found == exact_.end() ? std::nullopt : std::optional<size_t>(found->second);
    }
    // A key that is not plain may still equal a plain one in the locale's eyes (an ignorable
    // character, say): compare it with each, keeping the newest match.
    std::optional<size_t> newest;
    for (const auto& [candidate, position] : exact_)
        if (CompareKeys(key, candidate) == 0 && (!newest || position > *newest))
            newest = position;
    return newest;
}

void KeyIndex::Set(std::wstring key, size_t position)
{
    if (!ordered_ && !IsPlain(key))
        BuildOrdered();
    if (ordered_)
        (*ordered_)[std::move(key)] = position;
    else
        exact_[std::move(key)] = position;
}

// Moves the keys so far to the locale-ordered map, oldest first so that the newest of equal
// keys wins.
void KeyIndex::BuildOrdered()
{
    std::vector<std::pair<size_t, const std::wstring*>> byPosition;
    byPosition.reserve(exact_.size());
    for (const auto& [key, position] : exact_)
        byPosition.emplace_back(position, &key);
    std::sort(byPosition.begin(), byPosition.end());
    auto ordered = std::make_unique<Ordered>();
    for (const auto& [position, key] : byPosition)
        (*ordered)[*key] = position;
    ordered_ = std::move(ordered);
    exact_.clear(); // from now on the ordered map alone answers
}

} // namespace tolvane

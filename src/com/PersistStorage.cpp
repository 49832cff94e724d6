#include "PersistStorage.h"

namespace com {
namespace {

constexpr wchar_t kStreamName[] = L"Contents";

} // namespace

HRESULT PersistStorage::InitNew(IStorage* storage)
{
    if (!storage)
        return E_POINTER;
    control().take_extent(control().control_class().default_extent);
    return S_OK;
}

HRESULT PersistStorage::Load(IStorage* storage)
{
    if (!storage)
        return E_POINTER;
    return hresult_of([&] {
        ptr<IStream> stream;
        check(storage->OpenStream(kStreamName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.put()));
        control().load(stream.get());
        return S_OK;
    });
}

HRESULT PersistStorage::Save(IStorage* storage, BOOL same_as_load)
{
    if (!storage)
        return E_POINTER;
    return hresult_of([&] {
        ptr<IStream> stream;
        check(storage->CreateStream(kStreamName, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                    stream.put()));
        control().save(stream.get());
        if (same_as_load) // saved where it was loaded from: nothing left to save
            control().set_dirty(false);
        return S_OK;
    });
}

HRESULT PersistStorage::SaveCompleted(IStorage* new_storage)
{
    if (new_storage) // the container's "save as" is done: the new storage holds our state
        control().set_dirty(false);
    return S_OK;
}

} // namespace com

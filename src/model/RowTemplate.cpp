#include "RowTemplate.h"

#include "RfcField.h"
#include "RfcType.h"
#include "session/Messages.h"

namespace tolvane {
namespace {

// Deeper than any dictionary structure; a descriptor that contains itself ends here instead of
// exhausting the stack.
constexpr int kMaxNesting = 256;

struct Component {
    com::ptr<IRfcType> type;
    SharedString name;
    RFCTYPEKIND kind;
};

std::vector<Component> ComponentsOf(IRfcType* structure)
{
    std::vector<Component> result;
    if (auto own = com::implementation<CRfcType>(structure)) {
        const CRfcTypes& components = own->Components();
        result.reserve(components.Size());
        for (size_t i = 0; i < components.Size(); ++i) {
            IRfcType* type = components.At(i);
            if (auto component = com::implementation<CRfcType>(type))
                result.push_back({com::share(type), component->Name(), component->Kind()});
            else
                result.push_back({com::share(type), SharedString(KeyByName::Of(type)), KindOf(type)});
        }
        return result;
    }
    ForEachComponent(structure, [&](IRfcType* type) {
        result.push_back({com::share(type), SharedString(KeyByName::Of(type)), KindOf(type)});
    });
    return result;
}

std::shared_ptr<const StructTemplate> MakeTemplate(IRfcType* structure, int depth)
{
    if (depth > kMaxNesting)
        throw com::hresult_error(E_INVALIDARG);
    std::vector<Component> components = ComponentsOf(structure);
    if (components.empty())
        throw MessageError(msg::NotInitialized);

    auto result = std::make_shared<StructTemplate>();
    result->index = std::make_shared<KeyIndex>();
    result->fields.reserve(components.size());
    for (Component& c : components) {
        FieldTemplate field{c.name, c.type, c.kind, nullptr};
        switch (c.kind) {
        case RFCTYPEKIND_SCALAR:
        case RFCTYPEKIND_TABLE:
            break;
        case RFCTYPEKIND_STRUCT:
            field.structure = MakeTemplate(c.type.get(), depth + 1);
            break;
        case RFCTYPEKIND_UNDEFINED:
            throw MessageError(msg::NotInitialized);
        default:
            throw com::hresult_error(E_UNEXPECTED);
        }
        result->index->Set(std::wstring(c.name.view()), result->fields.size());
        result->fields.push_back(std::move(field));
    }
    return result;
}

} // namespace

std::shared_ptr<const StructTemplate> StructTemplate::Of(IRfcType* structure) { return MakeTemplate(structure, 0); }

size_t ComponentCount(IRfcType* structure)
{
    if (auto own = com::implementation<CRfcType>(structure))
        return own->Components().Size();
    com::ptr<IRfcTypes> components;
    long count = 0;
    if (FAILED(structure->get_StructFields(components.put())) || !components || FAILED(components->get_Count(&count)))
        return 0;
    return count > 0 ? static_cast<size_t>(count) : 0;
}

com::ptr<CRfcFields> StructTemplate::Build() const
{
    std::vector<com::ptr<IRfcField>> items;
    items.reserve(fields.size());
    // One block for the fields of this value. Should a constructor throw, the fields made so
    // far are released by `items` and the unused slots are released here.
    FieldBlock* block = FieldBlock::Create(fields.size(), sizeof(CRfcField));
    size_t made = 0;
    try {
        for (; made < fields.size(); ++made)
            items.push_back(com::ptr<IRfcField>::attach(new (*block, made) CRfcField(fields[made])));
    } catch (...) {
        for (size_t unused = made + 1; unused < fields.size(); ++unused)
            block->Release();
        throw;
    }
    auto result = com::make<CRfcFields>();
    result->Assign(std::move(items), index);
    return result;
}

} // namespace tolvane

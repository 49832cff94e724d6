#include "RowTemplate.h"

#include "RfcField.h"
#include "RfcType.h"
#include "session/Messages.h"

#include <algorithm>

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
    // One block for the collection (slot 0), its fields and its array of item pointers.
    const size_t count = fields.size();
    FieldBlock* block = FieldBlock::Create(count + 1, std::max(sizeof(CRfcField), sizeof(CRfcFields)),
                                           AllocatorSeed::BytesFor<com::ptr<IRfcField>>(count));
    auto result = com::ptr<CRfcFields>::attach(new (*block, 0) CRfcFields(AllocatorSeed::Place(block->Extra(), count)));
    // Should a constructor throw, the fields made so far go with `result` and the slots not
    // used are released here.
    size_t making = 0;
    try {
        result->Fill(count, index, [&](size_t position) {
            making = position;
            return com::ptr<IRfcField>::attach(new (*block, position + 1) CRfcField(fields[position]));
        });
    } catch (...) {
        for (size_t unused = making + 1; unused < count; ++unused)
            block->Release();
        throw;
    }
    return result;
}

} // namespace tolvane

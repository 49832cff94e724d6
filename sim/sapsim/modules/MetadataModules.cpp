#include "modules/MetadataModules.h"

#include "repo/Repository.h"
#include "rfc/ModuleRegistry.h"
#include "rfc/Record.h"
#include "rfc/RfcError.h"

namespace sapsim {
namespace {

char classLetter(ParamClass c)
{
    switch (c) {
    case ParamClass::Importing: return 'I';
    case ParamClass::Exporting: return 'E';
    case ParamClass::Changing: return 'C';
    case ParamClass::Tables: return 'T';
    }
    return ' ';
}

int byteLength(const DataType& type)
{
    if (type.kind == TypeKind::Scalar)
        return type.scalar.length;
    return type.structure->deep() ? 0 : type.structure->totalLength(1);
}

char componentExid(const DataType& type)
{
    switch (type.kind) {
    case TypeKind::Scalar: return type.scalar.letter;
    case TypeKind::Structure: return type.structure->deep() ? 'v' : 'u';
    case TypeKind::Table: return 'h';
    }
    return ' ';
}

std::string dataTypeCode(const DataType& type)
{
    if (type.kind == TypeKind::Structure)
        return "STRU";
    if (type.kind == TypeKind::Table)
        return "TTYP";
    switch (type.scalar.letter) {
    case 'C': return "CHAR";
    case 'N': return "NUMC";
    case 'D': return "DATS";
    case 'T': return "TIMS";
    case 'X': return "RAW";
    case 'P': return "DEC";
    case 'F': return "FLTP";
    case 'I': return "INT4";
    case 's': return "INT2";
    case 'b': return "INT1";
    case 'g': return "STRG";
    case 'a': return "DF16_DEC";
    case 'e': return "DF34_DEC";
    default: return "RSTR";
    }
}

const Structure& rowOf(const FunctionCall& call, std::string_view table)
{
    return *call.parameter(table).type.structure;
}

void functionInterface(FunctionCall& call, CallEnvironment& env)
{
    const FunctionDef* def = env.repository.function(call.scalar("FUNCNAME"));
    if (def == nullptr)
        throw AbapException("FU_NOT_FOUND", "Function module " + call.scalar("FUNCNAME") + " does not exist");
    const Structure& row = rowOf(call, "PARAMS");
    auto& rows = call.rows("PARAMS");
    int position = 0;
    for (const Parameter& p : def->parameters) {
        Record::append(row, rows)
            .set("PARAMCLASS", std::string(1, classLetter(p.paramClass)))
            .set("PARAMETER", p.name)
            .set("TABNAME", p.typeName())
            .set("EXID", std::string(1, p.exid()))
            .set("POSITION", ++position)
            .set("INTLENGTH", byteLength(p.type))
            .set("DECIMALS", p.type.kind == TypeKind::Scalar ? p.type.scalar.decimals : 0)
            .set("DEFAULT", p.defaultValue)
            .set("PARAMTEXT", p.text)
            .set("OPTIONAL", p.optional ? "X" : "");
    }
    for (const ExceptionDef& e : def->exceptions)
        Record::append(row, rows).set("PARAMCLASS", "X").set("PARAMETER", e.name).set("PARAMTEXT", e.text);
    call.set("REMOTE_CALL", "R");
}

void unicodeStructure(FunctionCall& call, CallEnvironment& env)
{
    const std::string& name = call.scalar("TABNAME");
    const Structure* s = env.repository.dictionary().structure(name);
    if (s == nullptr)
        throw AbapException("TABLE_NOT_ACTIVE", "Structure " + name + " does not exist or is not active");
    if (s->deep())
        throw AbapException("UNSUPPORTED_TYPE", "Structure " + name + " contains structures or tables");
    if (s->halfDeep() && call.scalar("ALLOW_HALF_DEEP") != "X")
        throw AbapException("UNSUPPORTED_TYPE", "Structure " + name + " contains strings");
    const bool withB2 = call.scalar("SKIP_UTF16_INFO") != "X";
    const bool withB4 = call.scalar("SKIP_UCS_4_INFO") != "X";
    const auto b1 = s->layout(1), b2 = s->layout(2), b4 = s->layout(4);
    call.set("B1_TABLENGTH", s->totalLength(1));
    call.set("B2_TABLENGTH", withB2 ? s->totalLength(2) : 0);
    call.set("B4_TABLENGTH", withB4 ? s->totalLength(4) : 0);
    const Structure& row = rowOf(call, "FIELDS");
    auto& rows = call.rows("FIELDS");
    for (size_t i = 0; i < s->components.size(); ++i) {
        const Component& c = s->components[i];
        Record r = Record::append(row, rows);
        r.set("TABNAME", name)
            .set("FIELDNAME", c.name)
            .set("POSITION", static_cast<int64_t>(i + 1))
            .set("EXID", std::string(1, c.type.scalar.letter))
            .set("DECIMALS", c.type.scalar.decimals)
            .set("LENGTH_B1", b1[i].length)
            .set("OFFSET_B1", b1[i].offset);
        if (withB2)
            r.set("LENGTH_B2", b2[i].length).set("OFFSET_B2", b2[i].offset);
        if (withB4)
            r.set("LENGTH_B4", b4[i].length).set("OFFSET_B4", b4[i].offset);
    }
}

void nametabRows(FunctionCall& call, const Structure& s)
{
    const Structure& row = rowOf(call, "NAMETAB");
    auto& rows = call.rows("NAMETAB");
    const bool flat = !s.deep();
    const auto placements = flat ? s.layout(2) : std::vector<FieldPlacement>(s.components.size());
    for (size_t i = 0; i < s.components.size(); ++i) {
        const Component& c = s.components[i];
        Record::append(row, rows)
            .set("TABNAME", s.name)
            .set("FIELDNAME", c.name)
            .set("POSITION", static_cast<int64_t>(i + 1))
            .set("OFFSET", placements[i].offset)
            .set("INTLEN", placements[i].length)
            .set("DECIMALS", c.type.kind == TypeKind::Scalar ? c.type.scalar.decimals : 0)
            .set("EXID", std::string(1, componentExid(c.type)))
            .set("DTYP", dataTypeCode(c.type))
            .set("ROLLNAME", c.type.name)
            .set("FIELDTEXT", c.text);
    }
}

void nametab(FunctionCall& call, CallEnvironment& env)
{
    const std::string& name = call.scalar("TABNAME");
    const Dictionary& dictionary = env.repository.dictionary();
    Record header(*call.parameter("HEADER").type.structure, call.value("HEADER"));
    header.set("TABNAME", name);
    if (const TableType* tt = dictionary.tableType(name)) {
        header.set("TABTYPE", "L").set("REFNAME", tt->row->name).set("FLDCOUNT", static_cast<int64_t>(tt->row->components.size()));
        nametabRows(call, *tt->row);
        return;
    }
    const Structure* s = dictionary.structure(name);
    if (s == nullptr)
        throw AbapException("TABLE_NOT_ACTIVE", "Type " + name + " does not exist or is not active");
    header.set("TABTYPE", env.repository.table(name) ? "T" : "S")
        .set("FLDCOUNT", static_cast<int64_t>(s->components.size()))
        .set("TABLEN", s->deep() ? 0 : s->totalLength(2));
    nametabRows(call, *s);
}

} // namespace

void MetadataModules::registerAll(ModuleRegistry& registry)
{
    registry.add("RFC_GET_FUNCTION_INTERFACE", functionInterface);
    registry.add("RFC_GET_UNICODE_STRUCTURE", unicodeStructure);
    registry.add("RFC_GET_NAMETAB", nametab);
}

} // namespace sapsim

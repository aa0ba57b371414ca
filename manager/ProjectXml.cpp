#include "manager/ProjectXml.h"

#include <windows.h>
#include <msxml2.h>
#include <oleauto.h>

#include <cstdio>
#include <utility>

#include "framework/Codepage.h"

namespace vantrel {

namespace {

// IXMLDOMDocument; the import libraries carry no MSXML identifiers.
const IID IidXmlDomDocument = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

// One reference to a COM object, released with its holder.
template <class T>
class TComRef {
public:
    TComRef() = default;
    ~TComRef() { Reset(); }
    TComRef(const TComRef&) = delete;
    TComRef& operator=(const TComRef&) = delete;

    T* operator->() const { return FObject; }
    T* Get() const { return FObject; }
    T** Out()
    {
        Reset();
        return &FObject;
    }
    void Swap(TComRef& Other) { std::swap(FObject, Other.FObject); }
    void Reset()
    {
        if (FObject != nullptr)
            FObject->Release();
        FObject = nullptr;
    }

private:
    T* FObject = nullptr;
};

// A BSTR owned by its holder.
class TBStr {
public:
    TBStr() = default;
    explicit TBStr(const WideString& Text) : FText(SysAllocStringLen(Text.data(), static_cast<UINT>(Text.size()))) {}
    ~TBStr() { SysFreeString(FText); }
    TBStr(const TBStr&) = delete;
    TBStr& operator=(const TBStr&) = delete;

    BSTR Get() const { return FText; }
    BSTR* Out()
    {
        SysFreeString(FText);
        FText = nullptr;
        return &FText;
    }
    WideString Text() const { return FText != nullptr ? WideString(FText, SysStringLen(FText)) : WideString(); }

private:
    BSTR FText = nullptr;
};

// COM for the calling thread while the holder lives; a thread already in
// another apartment model keeps it.
class TComScope {
public:
    TComScope() : FInitialised(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~TComScope()
    {
        if (FInitialised)
            CoUninitialize();
    }
    TComScope(const TComScope&) = delete;
    TComScope& operator=(const TComScope&) = delete;

private:
    bool FInitialised;
};

[[noreturn]] void RaiseXml(const String& What, HRESULT Result)
{
    char code[16];
    std::snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(Result));
    throw EXmlError(What + " (" + code + ")");
}

void Check(HRESULT Result, const String& What)
{
    if (FAILED(Result))
        RaiseXml(What, Result);
}

void NewDocument(TComRef<IXMLDOMDocument>& Document)
{
    CLSID kind;
    Check(CLSIDFromProgID(L"Msxml2.DOMDocument.3.0", &kind), "The XML document object is not available");
    Check(CoCreateInstance(kind, nullptr, CLSCTX_INPROC_SERVER, IidXmlDomDocument,
                           reinterpret_cast<void**>(Document.Out())),
          "The XML document object cannot be created");
}

VARIANT FileVariant(const TBStr& Path)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = Path.Get();   // borrowed: the holder frees it
    return v;
}

void Append(IXMLDOMNode* Parent, IXMLDOMNode* Child, const char* What)
{
    TComRef<IXMLDOMNode> added;
    Check(Parent->appendChild(Child, added.Out()), String("Cannot add ") + What);
}

void NewElement(IXMLDOMDocument* Document, const WideString& Name, TComRef<IXMLDOMElement>& Element)
{
    Check(Document->createElement(TBStr(Name).Get(), Element.Out()), "Cannot create an XML element");
}

void SetAttribute(IXMLDOMElement* Element, const WideString& Name, const String& Value)
{
    TBStr text(StrToWide(Value));
    Check(Element->setAttribute(TBStr(Name).Get(), FileVariant(text)), "Cannot set an XML attribute");
}

// The first child element of Parent named Name; false when there is none.
bool FindChild(IXMLDOMNode* Parent, const WideString& Name, TComRef<IXMLDOMNode>& Found)
{
    TComRef<IXMLDOMNode> child;
    Check(Parent->get_firstChild(child.Out()), "Cannot read the XML document");
    while (child.Get() != nullptr) {
        DOMNodeType type = NODE_INVALID;
        TBStr name;
        if (SUCCEEDED(child->get_nodeType(&type)) && type == NODE_ELEMENT &&
            SUCCEEDED(child->get_nodeName(name.Out())) && name.Text() == Name) {
            Found.Swap(child);
            return true;
        }
        TComRef<IXMLDOMNode> next;
        Check(child->get_nextSibling(next.Out()), "Cannot read the XML document");
        child.Swap(next);
    }
    return false;
}

} // namespace

void SaveNameFile(const String& Path, const String& ProjectName, const String& BuildDate, const TSlotNames& Names)
{
    TComScope com;
    TComRef<IXMLDOMDocument> document;
    NewDocument(document);

    TComRef<IXMLDOMProcessingInstruction> declaration;
    Check(document->createProcessingInstruction(TBStr(L"xml").Get(),
                                                TBStr(L"version=\"1.0\" encoding=\"UTF-16\"").Get(),
                                                declaration.Out()),
          "Cannot create the XML declaration");
    Append(document.Get(), declaration.Get(), "the XML declaration");

    TComRef<IXMLDOMElement> project;
    NewElement(document.Get(), L"Project", project);
    SetAttribute(project.Get(), L"name", ProjectName);
    SetAttribute(project.Get(), L"complierVersion", "Vantrel V1.0");
    SetAttribute(project.Get(), L"buildDate", BuildDate);
    Append(document.Get(), project.Get(), "the project element");

    TComRef<IXMLDOMElement> port;
    NewElement(document.Get(), L"IrPort", port);
    Append(project.Get(), port.Get(), "the port element");
    for (int slot = 0; slot < ChannelSlots; ++slot) {
        const String& name = Names[static_cast<std::size_t>(slot)];
        if (name.empty())
            continue;
        TComRef<IXMLDOMElement> element;
        NewElement(document.Get(), L"Name" + std::to_wstring(slot), element);
        Check(element->put_text(TBStr(StrToWide(name)).Get()), "Cannot set a slot name");
        Append(port.Get(), element.Get(), "a slot name");
    }

    TBStr path(StrToWide(Path));
    Check(document->save(FileVariant(path)), "Cannot save the name file \"" + Path + "\"");
}

TSlotNames LoadNameFile(const String& Path)
{
    TComScope com;
    TComRef<IXMLDOMDocument> document;
    NewDocument(document);
    Check(document->put_async(VARIANT_FALSE), "Cannot set up the XML document");

    TBStr path(StrToWide(Path));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    const HRESULT result = document->load(FileVariant(path), &loaded);
    if (FAILED(result) || loaded != VARIANT_TRUE) {
        String reason;
        TComRef<IXMLDOMParseError> error;
        TBStr text;
        if (SUCCEEDED(document->get_parseError(error.Out())) && error.Get() != nullptr &&
            SUCCEEDED(error->get_reason(text.Out())))
            reason = WideToStr(text.Text());
        while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
            reason.pop_back();
        throw EXmlError("Cannot read the name file \"" + Path + "\"" + (reason.empty() ? "" : ": " + reason));
    }

    TSlotNames names;
    TComRef<IXMLDOMElement> root;
    Check(document->get_documentElement(root.Out()), "Cannot read the name file \"" + Path + "\"");
    TComRef<IXMLDOMNode> port;
    if (root.Get() == nullptr || !FindChild(root.Get(), L"IrPort", port))
        return names;

    TComRef<IXMLDOMNode> child;
    Check(port->get_firstChild(child.Out()), "Cannot read the name file \"" + Path + "\"");
    while (child.Get() != nullptr) {
        DOMNodeType type = NODE_INVALID;
        TBStr name;
        if (SUCCEEDED(child->get_nodeType(&type)) && type == NODE_ELEMENT && SUCCEEDED(child->get_nodeName(name.Out()))) {
            // Characters 5 and 6 of the element's name: "Name7" names slot 7,
            // "Name123" slot 12.
            const WideString wide = name.Text();
            const String digits = wide.size() > 4 ? WideToStr(wide.substr(4, 2)) : String();
            TBStr text;
            if (IsDigitText(digits) && SUCCEEDED(child->get_text(text.Out())))
                names[static_cast<std::size_t>(std::stoi(digits))] = FitSlotName(WideToStr(text.Text()));
        }
        TComRef<IXMLDOMNode> next;
        Check(child->get_nextSibling(next.Out()), "Cannot read the name file \"" + Path + "\"");
        child.Swap(next);
    }
    return names;
}

} // namespace vantrel

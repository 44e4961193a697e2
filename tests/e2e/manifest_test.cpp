// The built scancfg.exe as the loader sees it: exactly one manifest, in the neutral
// language, and it is ours (Common Controls 6, DPI awareness, the invoker's rights); and
// one version everywhere the program states it. The resources are read from the file as
// data, with small readers of the test's own.
#include "tests/common/test_files.h"
#include "tests/e2e/running_program.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using e2e::scancfg_exe;

struct module_freer {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using unique_module = std::unique_ptr<std::remove_pointer_t<HMODULE>, module_freer>;

// The program's resources, mapped as data: nothing of it runs.
unique_module load_resources()
{
    return unique_module(
        LoadLibraryExW(scancfg_exe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

struct resource_id {
    std::wstring name; // "#n" for a number
    WORD language;
};

BOOL CALLBACK add_name(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR user)
{
    reinterpret_cast<std::vector<std::wstring>*>(user)->push_back(
        IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : std::wstring(name));
    return TRUE;
}

BOOL CALLBACK add_language(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR user)
{
    reinterpret_cast<std::vector<WORD>*>(user)->push_back(language);
    return TRUE;
}

std::vector<resource_id> resources_of_type(HMODULE module, const wchar_t* type)
{
    std::vector<std::wstring> names;
    EnumResourceNamesW(module, type, add_name, reinterpret_cast<LONG_PTR>(&names));
    std::vector<resource_id> result;
    for (const std::wstring& name : names) {
        std::vector<WORD> languages;
        EnumResourceLanguagesW(module, type, name.c_str(), add_language, reinterpret_cast<LONG_PTR>(&languages));
        for (WORD language : languages)
            result.push_back({name, language});
    }
    return result;
}

std::string resource_bytes(HMODULE module, const wchar_t* type, const wchar_t* name, WORD language)
{
    HRSRC found = FindResourceExW(module, type, name, language);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    return data ? std::string(static_cast<const char*>(data), SizeofResource(module, found)) : std::string();
}

// The opening tags of every <element ...> in `xml`, attributes included.
std::vector<std::string> opening_tags(const std::string& xml, const std::string& element)
{
    std::vector<std::string> tags;
    const std::string start = "<" + element;
    for (std::size_t at = xml.find(start); at != std::string::npos; at = xml.find(start, at + 1)) {
        const char after = xml[at + start.size()];
        if (after == ' ' || after == '\t' || after == '\r' || after == '\n' || after == '>' || after == '/')
            tags.push_back(xml.substr(at, xml.find('>', at) - at + 1));
    }
    return tags;
}

// The value of attribute `name` in an opening tag; "<missing>" when it has none.
std::string attribute(const std::string& tag, const std::string& name)
{
    for (std::size_t at = tag.find(name + "=\""); at != std::string::npos; at = tag.find(name + "=\"", at + 1)) {
        const char before = tag[at - 1];
        if (before != ' ' && before != '\t' && before != '\r' && before != '\n')
            continue;
        const std::size_t value = at + name.size() + 2;
        return tag.substr(value, tag.find('"', value) - value);
    }
    return "<missing>";
}

// The opening tag of the first <element> whose attribute `key` is `value`.
std::string tag_where(const std::string& xml, const std::string& element, const std::string& key,
                      const std::string& value)
{
    for (const std::string& tag : opening_tags(xml, element))
        if (attribute(tag, key) == value)
            return tag;
    return "<no " + element + " with " + key + "=" + value + ">";
}

// The text between <element ...> and </element>.
std::string element_text(const std::string& xml, const std::string& element)
{
    const std::vector<std::string> tags = opening_tags(xml, element);
    if (tags.empty())
        return "<missing>";
    const std::size_t start = xml.find(tags.front()) + tags.front().size();
    return xml.substr(start, xml.find("</" + element, start) - start);
}

class manifest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(file_exists(scancfg_exe())) << "scancfg.exe is built next to the tests";
        module = load_resources();
        ASSERT_NE(module, nullptr) << "error " << GetLastError();
        const std::vector<resource_id> found = resources_of_type(module.get(), RT_MANIFEST);
        ASSERT_EQ(found.size(), 1u) << "manifests in the program";
        xml = resource_bytes(module.get(), RT_MANIFEST, found.front().name.c_str(), found.front().language);
    }

    unique_module module;
    std::string xml;
};

TEST_F(manifest, only_one_and_in_the_neutral_language_under_the_process_id)
{
    const std::vector<resource_id> found = resources_of_type(module.get(), RT_MANIFEST);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found.front().name, L"#1") << "CREATEPROCESS_MANIFEST_RESOURCE_ID";
    EXPECT_EQ(found.front().language, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
}

struct manifest_setting {
    const char* what;
    std::string element;
    std::string key;   // with `key_value`, picks which of several such elements
    std::string key_value;
    std::string attribute; // empty: the element's text
    std::string expected;
};

const manifest_setting manifest_settings[] = {
    {"the program's own identity", "assemblyIdentity", "name", "scancfg", "type", "win32"},
    {"Common Controls 6", "assemblyIdentity", "name", "Microsoft.Windows.Common-Controls", "version", "6.0.0.0"},
    {"Common Controls' publisher", "assemblyIdentity", "name", "Microsoft.Windows.Common-Controls",
     "publicKeyToken", "6595b64144ccf1df"},
    {"Common Controls for any processor", "assemblyIdentity", "name", "Microsoft.Windows.Common-Controls",
     "processorArchitecture", "*"},
    {"the invoker's rights", "requestedExecutionLevel", "", "", "level", "asInvoker"},
    {"no access to other programs' windows", "requestedExecutionLevel", "", "", "uiAccess", "false"},
    {"DPI awareness", "dpiAware", "", "", "", "true"},
};

TEST_F(manifest, is_ours)
{
    for (const manifest_setting& s : manifest_settings) {
        SCOPED_TRACE(s.what);
        if (s.attribute.empty()) {
            EXPECT_EQ(element_text(xml, s.element), s.expected);
            continue;
        }
        const std::vector<std::string> tags = opening_tags(xml, s.element);
        const std::string tag = s.key.empty() ? (tags.empty() ? std::string() : tags.front())
                                              : tag_where(xml, s.element, s.key, s.key_value);
        EXPECT_EQ(attribute(tag, s.attribute), s.expected) << tag;
    }
}

// One node of a VS_VERSIONINFO tree: length, value length, type, key, value, children,
// each block aligned to 4 bytes from the start of the resource.
struct version_node {
    std::wstring key;
    std::string value; // bytes
    bool is_text = false;
    std::vector<version_node> children;
};

std::size_t align4(std::size_t offset) { return (offset + 3) & ~static_cast<std::size_t>(3); }

template <typename T>
T read_at(const std::string& data, std::size_t offset)
{
    T value{};
    if (offset + sizeof(T) <= data.size())
        std::memcpy(&value, data.data() + offset, sizeof(T));
    return value;
}

version_node read_version_node(const std::string& data, std::size_t start)
{
    version_node node;
    const auto length = read_at<WORD>(data, start);
    const auto value_length = read_at<WORD>(data, start + 2);
    node.is_text = read_at<WORD>(data, start + 4) == 1;
    std::size_t at = start + 6;
    for (wchar_t c = read_at<wchar_t>(data, at); c != L'\0' && at < data.size(); c = read_at<wchar_t>(data, at)) {
        node.key += c;
        at += 2;
    }
    at = align4(at + 2);
    // A text value's length counts characters, terminator included; a binary one bytes.
    const std::size_t value_bytes = node.is_text ? value_length * 2u : value_length;
    node.value = data.substr(std::min(at, data.size()), value_bytes);
    at = align4(at + value_bytes);
    const std::size_t end = std::min(start + length, data.size());
    while (at + 6 <= end) {
        const auto child_length = read_at<WORD>(data, at);
        if (child_length == 0)
            break;
        node.children.push_back(read_version_node(data, at));
        at = align4(at + child_length);
    }
    return node;
}

const version_node* child(const version_node& node, const std::wstring& key)
{
    for (const version_node& c : node.children)
        if (c.key == key)
            return &c;
    return nullptr;
}

std::wstring text_value(const version_node* node)
{
    if (!node || !node->is_text)
        return L"<missing>";
    std::wstring text(node->value.size() / 2, L'\0');
    std::memcpy(&text[0], node->value.data(), text.size() * 2);
    return text.substr(0, text.find(L'\0'));
}

std::wstring dotted(DWORD most, DWORD least)
{
    return std::to_wstring(HIWORD(most)) + L"." + std::to_wstring(LOWORD(most)) + L"." +
           std::to_wstring(HIWORD(least)) + L"." + std::to_wstring(LOWORD(least));
}

TEST_F(manifest, states_the_version_of_the_version_resource)
{
    const std::vector<resource_id> versions = resources_of_type(module.get(), RT_VERSION);
    ASSERT_EQ(versions.size(), 1u);
    const std::string data =
        resource_bytes(module.get(), RT_VERSION, versions.front().name.c_str(), versions.front().language);
    const version_node root = read_version_node(data, 0);
    ASSERT_EQ(root.key, L"VS_VERSION_INFO");
    ASSERT_GE(root.value.size(), sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO fixed{};
    std::memcpy(&fixed, root.value.data(), sizeof(fixed));
    ASSERT_EQ(fixed.dwSignature, 0xFEEF04BDu);

    const std::wstring file_version = dotted(fixed.dwFileVersionMS, fixed.dwFileVersionLS);
    const version_node* strings = child(root, L"StringFileInfo");
    const version_node* table = strings && !strings->children.empty() ? &strings->children.front() : nullptr;
    ASSERT_NE(table, nullptr);

    // Every place states one version: "a.b.c" in the texts, "a.b.c.0" in the numbers.
    const std::wstring three_parts = file_version.substr(0, file_version.rfind(L'.'));
    EXPECT_EQ(file_version.substr(file_version.rfind(L'.')), L".0");
    EXPECT_EQ(dotted(fixed.dwProductVersionMS, fixed.dwProductVersionLS), file_version);
    EXPECT_EQ(text_value(child(*table, L"FileVersion")), three_parts);
    EXPECT_EQ(text_value(child(*table, L"ProductVersion")), three_parts);
    EXPECT_EQ(utf8_to_wide(attribute(tag_where(xml, "assemblyIdentity", "name", "scancfg"), "version")),
              file_version);
}

} // namespace

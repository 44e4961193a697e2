// Template 142 as stored in the resources, and what init_page adds to it.
#include "tests/adv_cfg/page_fixture.h"

#include "config/cfg_location.h"
#include "resources/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>

namespace {

// Walks a DLGTEMPLATEEX resource.
class template_reader {
public:
    explicit template_reader(const void* data) : at_(static_cast<const BYTE*>(data)) {}

    WORD word() { return take<WORD>(); }
    DWORD dword() { return take<DWORD>(); }
    short coordinate() { return take<short>(); }
    BYTE byte() { return take<BYTE>(); }
    std::wstring text()
    {
        std::wstring result;
        for (wchar_t c = take<wchar_t>(); c != L'\0'; c = take<wchar_t>())
            result += c;
        return result;
    }
    // A class or title: a string, or 0xFFFF and an ordinal (given back as "#n").
    std::wstring name_or_ordinal()
    {
        WORD first;
        std::memcpy(&first, at_, sizeof first);
        if (first == 0xFFFF) {
            word();
            return L"#" + std::to_wstring(word());
        }
        return text();
    }
    // A control's class: the predefined ones may be stored by name or by ordinal.
    std::wstring control_class()
    {
        const std::wstring name = name_or_ordinal();
        const wchar_t* const predefined[] = {L"Button", L"Edit", L"Static", L"ListBox", L"ScrollBar", L"ComboBox"};
        for (int i = 0; i < 6; ++i)
            if (name == L"#" + std::to_wstring(0x80 + i))
                return predefined[i];
        return name;
    }
    void align_dword(const void* base)
    {
        const auto offset = static_cast<std::size_t>(at_ - static_cast<const BYTE*>(base));
        at_ += (4 - offset % 4) % 4;
    }
    void skip(std::size_t bytes) { at_ += bytes; }

private:
    template <typename T>
    T take()
    {
        T value;
        std::memcpy(&value, at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    const BYTE* at_;
};

struct control_row {
    int id;
    const wchar_t* window_class;
    DWORD type_mask, type;       // the style's type field and the value it must hold
    DWORD flags;                 // every one of these must be set
    DWORD absent;                // none of these may be set
    short x, y, cx, cy;
    const char* title;
};

constexpr DWORD child = WS_CHILD | WS_VISIBLE;
constexpr DWORD single_edit = child | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD multi_edit = child | ES_MULTILINE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP;
constexpr DWORD combo = child | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD button_type = 0x0F;
constexpr DWORD combo_type = 0x03;

const control_row expected_controls[] = {
    {IDC_CFG_CONTENT, L"Edit", 0, 0, multi_edit, ES_READONLY, 105, 186, 255, 72, ""},
    {-1, L"Button", button_type, BS_GROUPBOX, child, 0, 7, 7, 355, 121, "驱动配置："},
    {-1, L"Static", SS_TYPEMASK, SS_LEFT, child, 0, 9, 21, 57, 8, "日志文件路径："},
    {-1, L"Static", SS_TYPEMASK, SS_LEFT, child, 0, 9, 39, 57, 8, "日志输出方式："},
    {-1, L"Static", SS_TYPEMASK, SS_LEFT, child, 0, 136, 39, 41, 8, "日志级别："},
    {IDC_LOG_TYPE, L"ComboBox", combo_type, CBS_DROPDOWNLIST, combo, CBS_SORT, 66, 37, 57, 100, ""},
    {IDC_LOG_LEVEL, L"ComboBox", combo_type, CBS_DROPDOWNLIST, combo, CBS_SORT, 179, 37, 57, 100, ""},
    {IDC_LOG_PATH, L"Edit", 0, 0, single_edit, ES_MULTILINE | ES_READONLY, 66, 19, 207, 13, ""},
    {-1, L"Button", button_type, BS_GROUPBOX, child, 0, 7, 138, 84, 82, "TWAIN配置："},
    {-1, L"Static", SS_TYPEMASK, SS_LEFT, child, 0, 9, 156, 41, 8, "日志级别："},
    {IDC_TWAIN_LEVEL, L"Edit", 0, 0, single_edit, ES_MULTILINE | ES_READONLY, 51, 154, 35, 13, ""},
    {IDC_LOG_ALL_TRIPLE, L"Button", button_type, BS_AUTOCHECKBOX, child | WS_TABSTOP, 0, 9, 174, 78, 10,
     "记录所有MSG操作"},
    {-1, L"Static", SS_TYPEMASK, SS_LEFT, child, 0, 9, 114, 73, 8, "临时图片存放路径："},
    {IDC_FINAL_IMG, L"Edit", 0, 0, single_edit, ES_MULTILINE | ES_READONLY, 80, 112, 280, 13, ""},
    {IDC_DUMP_USB, L"Button", button_type, BS_AUTOCHECKBOX, child | WS_TABSTOP, 0, 9, 81, 72, 10, "输出各阶段图片"},
    {-1, L"Static", SS_TYPEMASK, SS_LEFT, child, 0, 23, 96, 41, 8, "图片路径："},
    {IDC_USB_PATH, L"Edit", 0, 0, single_edit, ES_MULTILINE | ES_READONLY, 64, 94, 296, 13, ""},
    {-1, L"Static", SS_TYPEMASK, SS_LEFT, child, 0, 277, 16, 78, 18, "    最后一段图片数据\r\n以EOF结尾的进程："},
    {IDC_CPU_ADVANCED, L"Button", button_type, BS_AUTOCHECKBOX, child | WS_TABSTOP, 0, 9, 57, 92, 10,
     "OpenCV 启用高级指令"},
    {-1, L"Static", SS_TYPEMASK, SS_LEFT, child, 0, 136, 57, 66, 8, "内存控制（MB）："},
    {IDC_MAX_IMG, L"Edit", 0, 0, single_edit, ES_MULTILINE | ES_READONLY, 201, 55, 35, 13, ""},
    {-1, L"Button", button_type, BS_GROUPBOX, child, 0, 99, 138, 263, 122, "debug.cfg"},
    {-1, L"Static", SS_TYPEMASK, SS_LEFT, child, 0, 105, 156, 25, 8, "路径："},
    {IDC_CFG_PATH, L"Edit", 0, 0, single_edit | ES_READONLY, ES_MULTILINE, 132, 154, 228, 13, ""},
    {-1, L"Static", SS_TYPEMASK, SS_LEFT, child, 0, 105, 174, 25, 8, "内容："},
    {IDC_WRITE, L"Button", button_type, BS_PUSHBUTTON, child | WS_TABSTOP, 0, 321, 171, 39, 14, "写入"},
    {IDC_READ_EOF_LIST, L"SysListView32", LVS_TYPEMASK, LVS_REPORT, WS_CHILD | WS_BORDER | WS_TABSTOP, WS_VISIBLE,
     255, 37, 105, 56, ""},
    {-1, L"Static", SS_TYPEMASK, SS_LEFT, child, 0, 9, 192, 61, 8, "notifyClose方式："},
    {IDC_NOTIFY_CLOSE, L"ComboBox", combo_type, CBS_DROPDOWNLIST, combo, CBS_SORT, 25, 203, 61, 100, ""},
    {-1, L"Button", button_type, BS_GROUPBOX, child, 0, 7, 225, 84, 35, "OEM："},
    {IDC_OEM, L"ComboBox", combo_type, CBS_DROPDOWNLIST, combo, CBS_SORT, 15, 241, 69, 100, ""},
    {IDC_READ_EOF_TEXT, L"Edit", 0, 0, multi_edit, ES_READONLY, 255, 37, 105, 56, ""},
};

const void* page_template()
{
    HRSRC found = FindResourceExW(nullptr, RT_DIALOG, MAKEINTRESOURCEW(IDD_ADV_CFG),
                                  MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    return found ? LockResource(LoadResource(nullptr, found)) : nullptr;
}

} // namespace

TEST(adv_cfg_template, header_is_a_hidden_chinese_child_dialog_with_the_shell_font)
{
    const void* data = page_template();
    ASSERT_NE(data, nullptr) << "template 142 in Chinese (PRC)";
    template_reader reader(data);
    EXPECT_EQ(reader.word(), 1);      // extended template
    EXPECT_EQ(reader.word(), 0xFFFF); // signature
    reader.dword();                   // help id
    EXPECT_EQ(reader.dword(), 0u);    // extended style
    EXPECT_EQ(reader.dword(), DWORD{WS_CHILD | WS_SYSMENU | DS_SETFONT | DS_FIXEDSYS});
    EXPECT_EQ(reader.word(), 32);
    reader.coordinate();
    reader.coordinate();
    EXPECT_EQ(reader.coordinate(), 369);
    EXPECT_EQ(reader.coordinate(), 267);
    EXPECT_EQ(reader.name_or_ordinal(), L""); // no menu
    EXPECT_EQ(reader.name_or_ordinal(), L""); // standard dialog class
    EXPECT_EQ(reader.text(), L"");            // no caption
    EXPECT_EQ(reader.word(), 8);
    EXPECT_EQ(reader.word(), 400);
    EXPECT_EQ(reader.byte(), 0);
    EXPECT_EQ(reader.byte(), 1);
    EXPECT_EQ(reader.text(), L"MS Shell Dlg");
}

TEST(adv_cfg_template, controls_in_template_order)
{
    const void* data = page_template();
    ASSERT_NE(data, nullptr);
    template_reader reader(data);
    reader.skip(2 + 2 + 4 + 4 + 4 + 2 + 8);
    reader.name_or_ordinal();
    reader.name_or_ordinal();
    reader.text();
    reader.skip(2 + 2 + 1 + 1);
    reader.text();

    int row_number = 0;
    for (const control_row& row : expected_controls) {
        SCOPED_TRACE(testing::Message() << "row " << ++row_number);
        reader.align_dword(data);
        reader.dword(); // help id
        EXPECT_EQ(reader.dword(), 0u);
        const DWORD style = reader.dword();
        EXPECT_EQ(style & row.type_mask, row.type);
        EXPECT_EQ(style & row.flags, row.flags);
        EXPECT_EQ(style & row.absent, 0u);
        EXPECT_EQ(reader.coordinate(), row.x);
        EXPECT_EQ(reader.coordinate(), row.y);
        EXPECT_EQ(reader.coordinate(), row.cx);
        EXPECT_EQ(reader.coordinate(), row.cy);
        EXPECT_EQ(static_cast<int>(reader.dword()), row.id);
        EXPECT_EQ(_wcsicmp(reader.control_class().c_str(), row.window_class), 0);
        EXPECT_EQ(reader.name_or_ordinal(), w(row.title));
        reader.skip(reader.word()); // creation data
    }
}

class adv_cfg_start : public page_fixture {};

TEST_F(adv_cfg_start, path_box_oem_combo_and_hidden_list)
{
    open_page();
    EXPECT_EQ(text(IDC_CFG_PATH), tmp.path() + L"\\VeltaScan\\\\config\\debug.cfg");
    EXPECT_FALSE(IsWindowVisible(page->hwnd)) << "the main window shows the page";

    ASSERT_EQ(item_count(IDC_OEM), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(combo_item_text(item(IDC_OEM), i), oem_folder_names[i]);
    EXPECT_EQ(selection(IDC_OEM), 0);

    HWND list = item(IDC_READ_EOF_LIST);
    EXPECT_EQ(GetWindowLongW(list, GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_EQ(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    HDC dc = GetDC(page->hwnd);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(page->hwnd, dc);
    const struct {
        const char* title;
        int width;
    } columns[] = {{"进程名称", 100}, {"EOF", 40}};
    for (int i = 0; i < 2; ++i) {
        wchar_t title[64] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = title;
        column.cchTextMax = 64;
        ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column)));
        EXPECT_EQ(std::wstring(title), w(columns[i].title));
        EXPECT_EQ(column.cx, MulDiv(columns[i].width, dpi, 96));
    }
    LVCOLUMNW third{};
    third.mask = LVCF_WIDTH;
    EXPECT_FALSE(SendMessageW(list, LVM_GETCOLUMNW, 2, reinterpret_cast<LPARAM>(&third)));
}

TEST_F(adv_cfg_start, messages_the_page_answers)
{
    open_page();
    NMHDR header{item(IDC_READ_EOF_LIST), IDC_READ_EOF_LIST, NM_CLICK};
    EXPECT_EQ(page->handle_message(WM_NOTIFY, IDC_READ_EOF_LIST, reinterpret_cast<LPARAM>(&header)), 1);
    const auto command = [&](int id, WORD code) {
        return page->handle_message(WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(item(id)));
    };
    EXPECT_EQ(command(IDC_LOG_PATH, EN_CHANGE), 1);
    EXPECT_EQ(command(IDC_WRITE, BN_CLICKED), 1);
    EXPECT_EQ(page->handle_message(WM_SIZE, 0, 0), 0);
    EXPECT_EQ(page->handle_message(WM_TIMER, 1, 0), 0);
    EXPECT_FALSE(file_present()) << "no message writes by itself";
}

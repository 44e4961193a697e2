#include "dialogs/content_box.h"

#include "config/cfg_settings.h"
#include "config/content_text.h"
#include "config/file_text.h"
#include "dialogs/message_box.h"
#include "resources/resource.h"
#include "support/text_format.h"

#include <commctrl.h>

#include <cerrno>

namespace {

// What Ctrl+S types: TranslateMessage makes it a character of its own.
constexpr WPARAM ctrl_s_character = 0x13;

LRESULT CALLBACK content_box_keys(HWND box, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR)
{
    if (message == WM_CHAR && wparam == ctrl_s_character) {
        HWND page = GetParent(box);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_WRITE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_WRITE)));
        return 0;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(box, content_box_keys, id);
    return DefSubclassProc(box, message, wparam, lparam);
}

std::wstring window_text(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

std::wstring encoding_name(content_encoding encoding)
{
    switch (encoding) {
    case content_encoding::utf8:
        return L"UTF-8";
    case content_encoding::utf16le:
        return L"UTF-16 LE";
    case content_encoding::utf16be:
        return L"UTF-16 BE";
    case content_encoding::ansi:
        break;
    }
    return L"ANSI 代码页 " + std::to_wstring(GetACP());
}

std::wstring refusal_message(const content_write& refused, const std::string& file_bytes)
{
    switch (refused.refusal) {
    case content_refusal::character_not_stored:
        return L"第 " + std::to_wstring(refused.line) + L" 行含有 debug.cfg 的编码（" +
               encoding_name(content_encoding_of(file_bytes)) +
               L"）无法保存的字符，未写入。\n请删除或替换该字符后再写入。";
    case content_refusal::file_holds_nul:
        return L"debug.cfg 含有空字符（NUL），内容框只显示它之前的部分，写入会删除其后的全部内容，因此未写入。";
    case content_refusal::file_too_short:
        return L"debug.cfg 只有 " + std::to_wstring(file_bytes.size()) +
               L" 个字节，内容框无法显示它们，写入会改变它们，因此未写入。";
    case content_refusal::text_too_short:
        return L"写入后 debug.cfg 将少于 3 个字节，内容框会把它显示为空，因此未写入。";
    case content_refusal::none:
        break;
    }
    return {};
}

std::wstring failure_message(const std::wstring& path, std::uint32_t error)
{
    std::wstring reason = system_error_text(error);
    if (reason.empty())
        reason = error == ERROR_FILE_READ_ONLY ? L"文件为只读。" : L"错误代码 " + std::to_wstring(error);
    return L"无法写入 debug.cfg：\n" + path + L"\n\n" + reason;
}

} // namespace

void content_box::attach(HWND page)
{
    page_ = page;
    // A whole file: the default typing limit of 32767 characters would cut a long one.
    SendMessageW(box(), EM_SETLIMITTEXT, 0, 0);
    SetWindowSubclass(box(), content_box_keys, 0, 0);
}

HWND content_box::box() const { return GetDlgItem(page_, IDC_CFG_CONTENT); }

bool content_box::edited() const
{
    // The modify flag alone is not enough: typing the shown text back is no edit.
    return SendMessageW(box(), EM_GETMODIFY, 0, 0) && window_text(box()) != shown_;
}

void content_box::show_file(const std::wstring& path)
{
    if (edited())
        return;
    read_cfg_bytes(path, bytes_);
    shown_ = content_box_text(bytes_);
    // A box already showing it is left alone: a long text takes a while to set again.
    if (window_text(box()) != shown_)
        SetWindowTextW(box(), shown_.c_str());
    else
        SendMessageW(box(), EM_SETMODIFY, FALSE, 0);
}

bool content_box::write(const std::wstring& path)
{
    // Another program, the driver or another control of the page may have written since.
    std::string now;
    const std::int32_t read_error = read_cfg_bytes(path, now);
    if ((read_error == 0 || read_error == ENOENT) && now != bytes_ &&
        ask_user(page_,
                 L"内容框显示 debug.cfg 之后，该文件已被修改（扫描仪驱动、其他程序或本页的其他设置）：\n" + path +
                     L"\n\n是否用内容框中的文字覆盖这些修改？",
                 MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return false;

    const content_write planned = content_write_for(bytes_, window_text(box()));
    if (planned.refusal != content_refusal::none) {
        ask_user(page_, refusal_message(planned, bytes_), MB_OK | MB_ICONWARNING);
        return false;
    }
    // Bytes the file holds already need no write, and keep its last-write time.
    if (read_error != 0 || planned.bytes != now) {
        if (const std::uint32_t error = replace_cfg_file(path, planned.bytes)) {
            ask_user(page_, failure_message(path, error), MB_OK | MB_ICONERROR);
            return false;
        }
    }
    SendMessageW(box(), EM_SETMODIFY, FALSE, 0);
    return true;
}

bool content_box::may_leave(const std::wstring& path)
{
    if (!edited())
        return true;
    switch (ask_user(page_, L"内容框中的修改尚未写入 debug.cfg：\n" + path + L"\n\n是否写入？",
                     MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDYES:
        return write(path);
    case IDNO:
        SendMessageW(box(), EM_SETMODIFY, FALSE, 0);
        return true;
    default:
        return false;
    }
}

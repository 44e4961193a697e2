// The error list as the reference gives it, for the tests of the page and of the running
// program: the expected rows never come from the program's own table or formatting.
#pragma once

#include <string>

// The reference list of the scanner's result and status codes, copied by hand: row,
// code in decimal and in hexadecimal, message. The commas in messages are full-width.
struct reference_row {
    int row;
    int code;
    const wchar_t* hex;
    const wchar_t* message;
};

inline const reference_row reference_rows[] = {
    {1, 0, L"0x0000", L"操作成功"},
    {2, 256, L"0x0100", L"非法的参数调用"},
    {3, 257, L"0x0101", L"操作被取消"},
    {4, 258, L"0x0102", L"内存不足或内存分配失败"},
    {5, 259, L"0x0103", L"访问被拒绝"},
    {6, 260, L"0x0104", L"异步访问，数据稍后返回"},
    {7, 261, L"0x0105", L"数据不精确，精确的数据已经在同一缓存中返回"},
    {8, 262, L"0x0106", L"设备的配置项发生改变，需要重新加载显示"},
    {9, 263, L"0x0107", L"设备未打开"},
    {10, 264, L"0x0108", L"设备没有启动"},
    {11, 265, L"0x0109", L"在本次扫描中，对相同操作不再询问"},
    {12, 266, L"0x010A", L"没有数据"},
    {13, 267, L"0x010B", L"有数据未被读取"},
    {14, 268, L"0x010C", L"操作超出范围"},
    {15, 269, L"0x010D", L"IO错误，请重启设备或拔插USB"},
    {16, 270, L"0x010E", L"操作超时"},
    {17, 271, L"0x010F", L"打开本地文件失败"},
    {18, 272, L"0x0110", L"创建本地文件失败"},
    {19, 273, L"0x0111", L"写本地文件失败"},
    {20, 274, L"0x0112", L"数据损坏"},
    {21, 275, L"0x0113", L"设备已经被其它进程占用"},
    {22, 276, L"0x0114", L"语言包缺失词条"},
    {23, 277, L"0x0115", L"图像参数已经改变，请重新加载"},
    {24, 278, L"0x0116", L"关联属性状态及图像参数已经改变，请重新加载"},
    {25, 23296, L"0x5B00", L"USB通信初始化失败"},
    {26, 23297, L"0x5B01", L"注册USB监听事件失败"},
    {27, 23298, L"0x5B02", L"声明USB接口失败"},
    {28, 56832, L"0xDE00", L"设备未找到"},
    {29, 56833, L"0xDE01", L"设备不支持该操作"},
    {30, 56834, L"0xDE02", L"设备正忙，不能响应该操作"},
    {31, 56835, L"0xDE03", L"设备处于睡眠状态"},
    {32, 56836, L"0xDE04", L"设备处于计数模式扫描状态"},
    {33, 56837, L"0xDE05", L"扫描停止"},
    {34, 56838, L"0xDE06", L"请关闭扫描仪盖板"},
    {35, 56839, L"0xDE07", L"无纸"},
    {36, 56840, L"0xDE08", L"搓纸失败"},
    {37, 56841, L"0xDE09", L"有多张纸被同时搓进扫描仪"},
    {38, 56842, L"0xDE0A", L"扫描仪卡纸"},
    {39, 56843, L"0xDE0B", L"纸张上检测到有钉书钉"},
    {40, 56844, L"0xDE0C", L"纸张倾斜"},
    {41, 56845, L"0xDE0D", L"纸张尺寸检测错误"},
    {42, 56846, L"0xDE0E", L"纸张有折角"},
    {43, 56847, L"0xDE0F", L"设备没取到图"},
    {44, 56848, L"0xDE10", L"扫描失败"},
    {45, 56849, L"0xDE11", L"PC繁忙或出错"},
    {46, 56850, L"0xDE12", L"设备被锁定"},
    {47, 56851, L"0xDE13", L"设备升级成功"},
    {48, 56852, L"0xDE14", L"设备升级失败"},
    {49, 56853, L"0xDE15", L"自动平场校正结束"},
    {50, 56854, L"0xDE16", L"自动平场校正信息"},
    {51, 56855, L"0xDE17", L"疑是非专用畸变修正纸"},
    {52, 56856, L"0xDE18", L"疑是纸张有较大孔洞"},
    {53, 56857, L"0xDE19", L"请稍等-设备正在准备中"},
};

// The row (numbered from 1) that shows `code`, or 0 for a code of no row.
inline int row_of_code(int code)
{
    for (const reference_row& r : reference_rows)
        if (r.code == code)
            return r.row;
    return 0;
}

// "00266   -   0x010A": the decimal code to five digits, then the hexadecimal one.
inline std::wstring code_cell(const reference_row& r)
{
    const std::wstring decimal = std::to_wstring(r.code);
    return std::wstring(decimal.size() < 5 ? 5 - decimal.size() : 0, L'0') + decimal + L"   -   " + r.hex;
}

// Rows `first` to `last` (numbered from 1) as a copy of them reads: each row's three
// cells as the list shows them, tab-separated, each row ending in CR LF.
inline std::wstring copied_rows(int first, int last)
{
    std::wstring text;
    for (const reference_row& r : reference_rows)
        if (r.row >= first && r.row <= last)
            text += std::to_wstring(r.row) + L'\t' + code_cell(r) + L'\t' + r.message + L"\r\n";
    return text;
}

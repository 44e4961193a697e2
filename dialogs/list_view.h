// One-line wrappers for the report-view lists of both pages, so the pages read as what
// they do with a list rather than as messages.
#pragma once

#include <windows.h>

#include <string>

// Appends column `index` with a title and a width in pixels.
void list_add_column(HWND list, int index, const wchar_t* title, int width);
// Appends a row whose first cell holds `text`; the new row's index, or -1.
int list_append_row(HWND list, const std::wstring& text);
// The text of one cell; empty for a missing row or column.
std::wstring list_cell_text(HWND list, int row, int column);
// Sets one cell unless it already holds `text`: rewriting a cell, even with the same
// text, costs a repaint and sends the list's owner a notification.
void list_set_cell(HWND list, int row, int column, const std::wstring& text);
int list_row_count(HWND list);

// Turns drawing off for the object's lifetime. Every insertion into a drawing list makes
// it re-measure and invalidate itself; turning drawing back on also shows the list, so a
// hidden list is hidden again.
class list_redraw_off {
public:
    explicit list_redraw_off(HWND list);
    ~list_redraw_off();
    list_redraw_off(const list_redraw_off&) = delete;
    list_redraw_off& operator=(const list_redraw_off&) = delete;

private:
    HWND list_;
    bool was_visible_;
};

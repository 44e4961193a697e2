/* Resource and control identifiers, shared by the resource script and the code. */
#ifndef SCANCFG_RESOURCE_H
#define SCANCFG_RESOURCE_H

#define IDI_APP_ICON            1

/* Main window */
#define IDD_MAIN                129
#define IDC_EXIT                1   /* IDOK: the exit button */
#define IDC_MAIN_TAB            1000
#define IDC_PAGE_AREA           1001

/* Error-code page */
#define IDD_ERR_MSG             141
#define IDC_ERR_LIST            1002
/* The list's menu (right-click, Shift+F10, the menu key) */
#define IDM_COPY_ROWS           40001
#define IDM_SELECT_ALL_ROWS     40002

/* Advanced configuration page */
#define IDD_ADV_CFG             142
#define IDC_CFG_CONTENT         1003
#define IDC_LOG_TYPE            1004
#define IDC_LOG_LEVEL           1005
#define IDC_LOG_PATH            1006
#define IDC_TWAIN_LEVEL         1007
#define IDC_LOG_ALL_TRIPLE      1008
#define IDC_FINAL_IMG           1009
#define IDC_DUMP_USB            1010
#define IDC_USB_PATH            1011
#define IDC_NOTIFY_CLOSE        1012
#define IDC_CPU_ADVANCED        1013
#define IDC_MAX_IMG             1014
#define IDC_CFG_PATH            1015
#define IDC_WRITE               1016
#define IDC_READ_EOF_LIST       1017
#define IDC_OEM                 1018
#define IDC_READ_EOF_TEXT       1019

#endif

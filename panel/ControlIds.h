/* Numeric ids of the panel's templates, controls, commands and resources. Plain #defines so
   that a resource compiler can read this file as well as C++. Where the platform's headers
   define the same name (IDOK, SC_CLOSE, TB_THUMBTRACK ...) the values are the platform's. */
#ifndef STEPCTL_PANEL_CONTROLIDS_H
#define STEPCTL_PANEL_CONTROLIDS_H

/* Dialog templates. */
#define IDD_ABOUTBOX 100
#define IDD_STEPCTL_DIALOG 102

/* Icon, bitmap and strings. */
#define IDR_MAINFRAME 128
#define IDB_LOGO 133
#define IDS_ABOUTBOX 101

/* Window-menu commands. The low four bits are the platform's own, so commands are compared
   with those bits masked off. */
#define IDM_ABOUTBOX 0x0010
#define IDM_FRAMEVIEW 0x0020
/* The Board submenu's lines: IDM_BOARD_FIRST + 0x10 x line, at most IDM_BOARD_LINES of them. */
#define IDM_BOARD_FIRST 0x0100
#define IDM_BOARD_LINES 32
#ifndef SC_CLOSE
#define SC_CLOSE 0xF060
#endif

/* Dialog results and the Close button. */
#ifndef IDOK
#define IDOK 1
#endif
#ifndef IDCANCEL
#define IDCANCEL 2
#endif

/* Controls of the panel. */
#define IDC_EDIT_STATE 1014
#define IDC_BUTTON_SEND 1015
#define IDC_RADIO_6BIT 1016
#define IDC_EDIT_ATTEN 1017
#define IDC_SLIDER_ATTEN 1018
#define IDC_RADIO_7BIT 1019
#define IDC_RADIO_SERIAL 1020
#define IDC_RADIO_PARALLEL 1021
#define IDC_PICTURE_LOGO 1022
#define IDC_SPIN_ATTEN 1023
#define IDC_RADIO_DOUBLE 1024
#define IDC_STATIC_CONNECTED 1025
#define IDC_STATIC_NOTCONNECTED 1026
#define IDC_STATIC_BANNER 1027
#define IDC_RADIO_SERIAL_ADDR 1028
#define IDC_EDIT_ATTEN2 1029
#define IDC_COMBO_ADDRESS 1030
#define IDC_COMBO_DEVICE 1031
#define IDC_EDIT_STATE2 1032

/* Controls of the frame view window. */
#define IDC_FRAME_SUMMARY 1101
#define IDC_FRAME_DIAGRAM 1102
#define IDC_FRAME_BYTES 1103
#define IDC_FRAME_BOARD_TITLE 1104
#define IDC_FRAME_BOARD 1105
#define IDC_FRAME_SAVE 1106

/* Controls of the About box. */
#define IDC_ABOUT_ICON 1028
#ifndef IDC_STATIC
#define IDC_STATIC (-1) /* labels without an id of their own */
#endif

/* Trackbar scroll codes: thumb released after a drag, thumb being dragged. */
#ifndef TB_THUMBPOSITION
#define TB_THUMBPOSITION 4
#endif
#ifndef TB_THUMBTRACK
#define TB_THUMBTRACK 5
#endif

#endif

// Numeric ids of the windows, controls, commands and texts of the panel. Tests and tools find
// each control by its name (objectName) or by these ids (the "controlId" property).
#pragma once

// Dialog templates.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_STEPCTL_DIALOG = 102;

// Icon, bitmap and strings.
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDB_LOGO = 133;
inline constexpr int IDS_ABOUTBOX = 101;

// Window-menu commands. The low four bits are the platform's own, so commands are compared
// with those bits masked off.
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;
inline constexpr unsigned IDM_FRAMEVIEW = 0x0020;
inline constexpr unsigned SC_CLOSE = 0xF060;

// Dialog results.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Controls of the panel.
inline constexpr int IDC_EDIT_STATE = 1014;
inline constexpr int IDC_BUTTON_SEND = 1015;
inline constexpr int IDC_RADIO_6BIT = 1016;
inline constexpr int IDC_EDIT_ATTEN = 1017;
inline constexpr int IDC_SLIDER_ATTEN = 1018;
inline constexpr int IDC_RADIO_7BIT = 1019;
inline constexpr int IDC_RADIO_SERIAL = 1020;
inline constexpr int IDC_RADIO_PARALLEL = 1021;
inline constexpr int IDC_PICTURE_LOGO = 1022;
inline constexpr int IDC_SPIN_ATTEN = 1023;
inline constexpr int IDC_RADIO_DOUBLE = 1024;
inline constexpr int IDC_STATIC_CONNECTED = 1025;
inline constexpr int IDC_STATIC_NOTCONNECTED = 1026;
inline constexpr int IDC_STATIC_BANNER = 1027;
inline constexpr int IDC_RADIO_SERIAL_ADDR = 1028;
inline constexpr int IDC_EDIT_ATTEN2 = 1029;
inline constexpr int IDC_COMBO_ADDRESS = 1030;
inline constexpr int IDC_COMBO_DEVICE = 1031;
inline constexpr int IDC_EDIT_STATE2 = 1032;

// Controls of the About box.
inline constexpr int IDC_ABOUT_ICON = 1028;
inline constexpr int IDC_STATIC = -1;  // labels without an id of their own

// Trackbar notification codes: thumb released after a drag, thumb being dragged.
inline constexpr int TB_THUMBPOSITION = 4;
inline constexpr int TB_THUMBTRACK = 5;

// Property holding a control's numeric id.
inline constexpr char kControlIdProperty[] = "controlId";

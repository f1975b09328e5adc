// Identifiers shared by the resource script and the code.
#pragma once

#define QUORVEL_PRODUCT_NAME "Quorvel"

#define IDD_PERMISSIONS 101
#define IDI_APP 102

#define IDC_FULL 1000
#define IDC_READ 1001
#define IDC_WRITE 1002
#define IDC_CHANGE 1003
#define IDC_USER 1004
#define IDC_SUBDIRS 1006

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

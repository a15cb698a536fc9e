#pragma once
// Resource numbers of the two caster settings dialogs.

constexpr unsigned IDD_BROADCASTER_CORVO = 134;
constexpr unsigned IDD_BROADCASTER_NORMAL = 136;

// Shared by both templates.
constexpr int IDC_HOSTPORT_LABEL = 1011;
constexpr int IDC_USER_LABEL = 1012;
constexpr int IDC_PASSWORD_LABEL = 1018;
constexpr int IDC_ATTEMPTS_LABEL = 1019;
constexpr int IDC_TIME_LABEL = 1020;
constexpr int IDC_SECONDS_LABEL = 1021;
constexpr int IDC_RECONNECTION_GROUP = 1022;

// Generic branding (136).
constexpr int IDC_HOSTPORT_COMBO = 1031;
constexpr int IDC_USER = 1033;
constexpr int IDC_PASSWORD = 1034;
constexpr int IDC_ATTEMPTS = 1035;
constexpr int IDC_TIME = 1036;

// Corvo branding (134).
constexpr int IDC_CASTER_LIST = 1013;
constexpr int IDC_CASTER_SPIN = 1006;
constexpr int IDC_CORVO_USER = 1014;
constexpr int IDC_CORVO_PASSWORD = 1015;
constexpr int IDC_CORVO_ATTEMPTS = 1016;
constexpr int IDC_CORVO_TIME = 1017;

// Registers both templates.
void RegisterCasterDialogResources();

// The start-up messages, in code page 936 once compiled.
#pragma once

#define APP_CAPTION "Trellith"
#define TEXT_WRONG_PLATFORM "本程序的该版本被设计运行于 Windows NT/2000/XP 平台。"
#define TEXT_INIT_FAILED "初始化失败，可以在注销或重启后重试。"
#define TEXT_MODULE_MISSING "找不到本程序的模块 Trellith.dll。"
// A session command that Windows refused, before its reason; then the error's number where the
// system has no text for it.
#define TEXT_SESSION_FAILED "无法%s："
#define TEXT_ERROR_NUMBER "错误 %lu。"

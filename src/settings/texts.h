// The settings dialog's texts, in code page 936 once compiled.
#pragma once

#define TEXT_ENTER_NAME "请输入新方案的名称。"
#define TEXT_NAME_EXISTS "该方案名已经存在，请重新输入。"
#define TEXT_NO_REGISTRY_RIGHTS "当前用户没有修改注册表的权限。"
// Around the scheme file's full name, when OK could not save the schemes.
#define TEXT_SAVE_FAILED_BEFORE "无法将方案保存到文件 "
#define TEXT_SAVE_FAILED_AFTER "。"
#define TRIGGER_LABELS {"定时", "硬盘空闲", "键盘或鼠标空闲", "开机后一段时间"}
#define ACTION_LABELS {"响铃", "注销", "重启", "关机"}

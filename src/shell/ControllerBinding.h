#pragma once
// Binds the controller's commands to the shell: the File menu's controller
// commands (New, Open, recent files, start-up open, Save, Save All and the
// exit question's save) and the language switch's tree rebuild.
void BindControllerCommands();

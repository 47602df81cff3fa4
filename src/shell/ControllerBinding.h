#pragma once
// Binds the controller's commands to the shell: the File menu's controller
// commands (New, Open, recent files, start-up open, Save, Save All and the
// exit question's save), the language switch's tree rebuild, and the
// link's rewrites of single tree nodes.
void BindControllerCommands();

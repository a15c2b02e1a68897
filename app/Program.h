#pragma once

// Creates the program's windows and the data module, in their fixed order.
void CreateAllForms();

int QuillaneMain(int argc, char** argv);

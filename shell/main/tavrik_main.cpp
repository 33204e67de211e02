#include "shell/main/program_entry.h"

int main() { return TavrikMain(); }

// Links the shell's library and everything it brings, and uses none of it:
// the libraries it loads are those that linking vexlon_shell costs a program.
int main() { return 0; }

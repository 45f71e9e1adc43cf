// baseline: start and exit, the least a program built like the others can do.

int
main()
{
	return 0;
}

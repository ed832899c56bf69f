// The program's entry: hands over to the start-up logic.
int main()
{
    return 0;
}

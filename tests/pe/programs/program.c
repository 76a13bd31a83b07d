/* The code of the reader's test program: a wide text in its data, and an entry point. */
const unsigned short kDataText[] = {'S', 'a', 'v', 'e', ' ', 'a', 's', 0};
const unsigned short* volatile g_text = kDataText;

int start(void) {
    return g_text[0];
}

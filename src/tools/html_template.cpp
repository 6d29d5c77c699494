#include "tools/html_template.h"

std::string html_page_skeleton() {
    return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
           "\"http://www.w3.org/TR/1999/REC-html401-19991224/loose.dtd\">\n"
           "<html>\n"
           "<head>\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\n"
           "<title></title>\n"
           "</head>\n"
           "<body>\n"
           "</body>\n"
           "</html>";
}

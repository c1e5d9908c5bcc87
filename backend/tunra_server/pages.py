"""The service's web pages: help, sign-up, password recovery, banner, update
and notice pages, as small UTF-8 HTML documents."""

import html

from .httpio import Reply

HTML_TYPE = "text/html; charset=utf-8"

_STYLE = ("body{font-family:'Malgun Gothic','Gulim',sans-serif;margin:12px;color:#222}"
          "h1{font-size:16px}p{font-size:13px}")


def _document(title, body):
    return ("<!DOCTYPE html>\n<html lang=\"ko\"><head><meta charset=\"utf-8\">"
            "<title>%s</title><style>%s</style></head>\n<body>\n<h1>%s</h1>\n%s\n</body></html>\n"
            % (html.escape(title), _STYLE, html.escape(title), body)).encode("utf-8")


def _faq(ctx):
    return "자주 묻는 질문", (
        "<p>서비스 이용 시간이 남아 있지 않으면 결제 후 다시 접속해 주세요.</p>"
        "<p>접속이 되지 않으면 프로그램을 다시 실행해 주세요.</p>")


def _join(ctx):
    return "회원가입", "<p>이 데모 서버에서는 회원가입을 받지 않습니다.</p>"


def _idpw(ctx):
    return "아이디 / 비밀번호 찾기", "<p>데모 계정은 backend/README.md 에 적혀 있습니다.</p>"


def _banner(ctx):
    return "TUNRA", "<p>TUNRA 데모 서버에 오신 것을 환영합니다.</p>"


def _update(ctx):
    return "프로그램 업데이트", "<p>제공 중인 최신 버전: %d</p>" % ctx.offered_version()


def _notice(ctx):
    return "공지사항", "<p>서버 점검 안내: 데모 서버의 공지 페이지입니다.</p>"


def _index(ctx):
    links = "".join('<li><a href="%s">%s</a></li>' % (path, html.escape(make(ctx)[0]))
                    for path, make in PAGES.items() if path != "/")
    return "TUNRA 데모 서버", "<ul>%s</ul>" % links


PAGES = {
    "/": _index,
    "/customer/faq.php": _faq,
    "/customer/notice.php": _notice,
    "/member/join1.php": _join,
    "/member/idpw.php": _idpw,
    "/vpn_program/banner.php": _banner,
    "/vpn_program/update.php": _update,
}


def not_found():
    return Reply(_document("404", "<p>페이지를 찾을 수 없습니다.</p>"), status=404,
                 content_type=HTML_TYPE)


def page(ctx, call):
    make = PAGES.get(call.path)
    if make is None:
        return not_found()
    title, body = make(ctx)
    return Reply(_document(title, body), content_type=HTML_TYPE)

#include "protocol/exchange_context.h"

#include "protocol/payload_codec.h"
#include "text/cp949.h"
#include "text/field.h"

namespace protocol {

std::string ValueOfFieldContaining(std::string_view reply, std::string_view marker) {
  text::FieldCursor fields(reply, '|');
  for (std::string_view field; fields.Next(field);)
    if (text::Contains(field, marker)) return text::ExtractField(field, 1, '=');
  return std::string();
}

std::string SendFormAndDecode(ExchangeContext& ctx, std::string_view path, const std::string& params) {
  const std::string body = "bin=" + EncodePayload(params);
  const std::string reply = ctx.web.SendFormRequest(HttpUrl(ctx.record.webHost, path), body);
  return text::ReplaceAll(DecodePayload(reply), " ", "");
}

}  // namespace protocol

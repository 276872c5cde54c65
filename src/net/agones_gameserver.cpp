// Reading the GameServer object. The gateway writes the protobuf fields in
// snake case ("object_meta"); the watch stream wraps each object in
// {"result": ...}.
#include "net/agones_gameserver.h"

#include "core/json_reader.h"

std::optional<TGameServerView> ParseGameServer(std::string_view text) {
  std::optional<TJsonValue> doc = ParseJson(text);
  if (!doc) return std::nullopt;
  const TJsonValue* object = &*doc;
  if (const TJsonValue* result = object->Member("result"); result && result->Kind == TJsonValue::TKind::Object)
    object = result;
  const TJsonValue* status = object->Member("status");
  std::optional<std::string> state = status ? status->StringAt("state") : std::nullopt;
  if (!state) return std::nullopt;
  TGameServerView view;
  view.State = std::move(*state);
  const TJsonValue* meta = object->Member("object_meta");
  if (const TJsonValue* annotations = meta ? meta->Member("annotations") : nullptr)
    for (const TJsonValue& note : annotations->Members)
      if (note.Kind == TJsonValue::TKind::String) view.Annotations[note.Key] = note.Text;
  return view;
}

#pragma once
// Forward declarations of the style and widget library, so that headers
// (the style code's above all) can name widgets without including them.

namespace CV::TOV {

class Widget;
class Bar;
class Pane;
class PaintContext;
class Canvas;
class DragDropEventTarget;
class DragDropSource;
struct Margin;
class AttributesMap;

class Property;
class ClassSelector;
class AttibuteSelector;
class StateSelector;
class Selector;
class LazyPicture;
class StyleParser2;
class StyleSheet;
class StyleSheetManager;
class StyleSheetErrorsLogSource;
class ManagerContainer;

} // namespace CV::TOV

namespace CV::FEN {

class EventData;
class MouseEventData;
class MouseWheelEventData;
class MouseButtonEventData;
class WindowBase;
class TextInputBase;
class KeyEventData;
class DragDropRequestEventData;

} // namespace CV::FEN

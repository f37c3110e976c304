"""Signatures that ``inspect`` reads, for the extension's calls and classes.

pybind11 writes a call's signature only as the first line of its docstring, which
``inspect.signature`` cannot see on a builtin. Each call is therefore wrapped in a Python
function carrying that signature (names, defaults, keyword-only marks; the types are the
stubs' business), and each class gets the signature of its constructor."""
import ast
import functools
import inspect
import typing

_KINDS = {"args": inspect.Parameter.POSITIONAL_OR_KEYWORD, "kwonlyargs": inspect.Parameter.KEYWORD_ONLY}


def _parsed(doc, drop_self):
    """The signature on the first line of a pybind11 docstring, or None."""
    line = (doc or "").split("\n", 1)[0]
    head, _, _ = line.rpartition(" -> ")
    if "(" not in head:
        return None
    name, _, arguments = head.partition("(")
    try:
        tree = typing.cast(ast.FunctionDef, ast.parse("def %s(%s: pass" % (name, arguments)).body[0]).args
    except SyntaxError:
        return None
    parameters = []
    positional_defaults = [None] * (len(tree.args) - len(tree.defaults)) + list(tree.defaults)
    for kind, names, defaults in (("args", tree.args, positional_defaults),
                                  ("kwonlyargs", tree.kwonlyargs, tree.kw_defaults)):
        for argument, default in zip(names, defaults):
            value = inspect.Parameter.empty if default is None else ast.literal_eval(default)
            parameters.append(inspect.Parameter(argument.arg, _KINDS[kind], default=value))
    if drop_self and parameters and parameters[0].name == "self":
        parameters = parameters[1:]
    return inspect.Signature(parameters)


def _readable(function, signature, owner):
    @functools.wraps(function)
    def call(*args, **kwargs):
        return function(*args, **kwargs)

    setattr(call, "__signature__", signature)
    # pybind11 names its calls PyCapsule.<name>; pickle finds them by their public name.
    call.__module__ = owner.__module__ if isinstance(owner, type) else owner
    call.__qualname__ = owner.__name__ + "." + function.__name__ if isinstance(owner, type) else function.__name__
    return call


def expose(namespace, core):
    """Replaces the calls of `core` in `namespace` by readable ones; signs its classes."""
    for name in dir(core):
        item = getattr(core, name)
        if name.startswith("_"):
            continue
        if inspect.isbuiltin(item):
            signature = _parsed(item.__doc__, False)
            if signature is not None:
                namespace[name] = _readable(item, signature, namespace["__name__"])
        elif isinstance(item, type) and not issubclass(item, BaseException):
            signature = _parsed(item.__init__.__doc__, True)
            if signature is not None:
                setattr(item, "__signature__", signature)
            for attribute, member in vars(item).items():
                if isinstance(member, staticmethod) and inspect.isbuiltin(member.__func__):
                    signature = _parsed(member.__func__.__doc__, False)
                    if signature is not None:
                        setattr(item, attribute, staticmethod(_readable(member.__func__, signature, item)))

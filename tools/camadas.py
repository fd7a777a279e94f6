#!/usr/bin/env python3
"""Checks that every source file under src/ includes only headers of its own
layer or of the layers below it; the dialogue and the modes sit side by side
and never include each other. Also checks that only the per-system files of
the platform (*Posix.cpp, *Windows.cpp, which the build compiles on their
system alone) know which system they are on: no other file tests _WIN32.
Prints each offending line and exits 1."""
import pathlib
import re
import sys

# Each layer with the layers whose headers it may include.
PERMITIDAS = {
    "plataforma": {"plataforma"},
    "modelo": {"modelo", "plataforma"},
    "curso": {"curso", "modelo", "plataforma"},
    "dialogo": {"dialogo", "curso", "modelo", "plataforma"},
    "modos": {"modos", "curso", "modelo", "plataforma"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SISTEMA = re.compile(r"\b_WIN32\b")


def main() -> int:
    raiz = pathlib.Path(__file__).resolve().parent.parent / "src"
    camadaDe = {}
    for camada in PERMITIDAS:
        for cabecalho in (raiz / camada).glob("*.h*"):
            camadaDe[cabecalho.name] = camada
    erros = 0
    for fonte in sorted(raiz.glob("*.*")):
        for numero, linha in enumerate(fonte.read_text(encoding="utf-8").splitlines(), 1):
            if SISTEMA.search(linha):
                print(f"{fonte.relative_to(raiz.parent)}:{numero}: _WIN32 fora dos "
                      f"ficheiros de cada sistema")
                erros += 1
    for camada, permitidas in PERMITIDAS.items():
        for fonte in sorted((raiz / camada).iterdir()):
            for numero, linha in enumerate(fonte.read_text(encoding="utf-8").splitlines(), 1):
                if SISTEMA.search(linha) and not fonte.name.endswith(("Posix.cpp", "Windows.cpp")):
                    print(f"{fonte.relative_to(raiz.parent)}:{numero}: _WIN32 fora dos "
                          f"ficheiros de cada sistema")
                    erros += 1
                m = INCLUDE.match(linha)
                if not m:
                    continue
                destino = camadaDe.get(pathlib.Path(m.group(1)).name)
                if destino is not None and destino not in permitidas:
                    print(f"{fonte.relative_to(raiz.parent)}:{numero}: a camada {camada} "
                          f"inclui {m.group(1)}, da camada {destino}")
                    erros += 1
    return 1 if erros else 0


if __name__ == "__main__":
    sys.exit(main())

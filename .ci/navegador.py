#!/usr/bin/env python3
"""Headless chromium driven through the DevTools protocol, with nothing but
python3's standard library: chromium talks over a pipe (--remote-debugging-
pipe: JSON messages ended by a NUL byte on file descriptors 3 and 4), so no
websocket and no package is needed.

    with Navegador() as n:
        n.abre("file:///.../12-Relatorio.html")
        n.avalia("document.title")
        n.clica("#tabela-ucs th:nth-child(3) button")

Used by .ci/relatorio.py (sorting, search, the records) and by
bench/relatorio.sh (the time to the first screen).
"""

import json
import os
import shutil
import subprocess
import tempfile
import time

OPCOES = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
          "--disable-background-networking", "--disable-component-update", "--disable-sync",
          "--disable-dev-shm-usage", "--hide-scrollbars", "--remote-debugging-pipe"]


class ErroNavegador(Exception):
    pass


class Navegador:
    """One chromium with one page; every call waits for its answer."""

    def __init__(self, largura=1280, altura=900, executavel="chromium", limite=600):
        self._perfil = tempfile.mkdtemp(prefix="perfil-")
        escreve_leitura, escreve_chromium = os.pipe()  # chromium reads fd 3
        le_chromium, le_escrita = os.pipe()            # chromium writes fd 4

        def descritores():
            # In the child: the two ends at 3 and 4, whatever numbers they had.
            a, b = os.dup(escreve_leitura), os.dup(le_escrita)
            os.dup2(a, 100)
            os.dup2(b, 101)
            os.dup2(100, 3)
            os.dup2(101, 4)

        self._registo = open(os.path.join(self._perfil, "chromium.log"), "wb")
        self._processo = subprocess.Popen(
            [executavel] + OPCOES + ["--user-data-dir=" + self._perfil,
                                     f"--window-size={largura},{altura}", "about:blank"],
            pass_fds=(3, 4), preexec_fn=descritores, stdin=subprocess.DEVNULL,
            stdout=self._registo, stderr=self._registo, env=dict(os.environ, HOME=self._perfil))
        os.close(escreve_leitura)
        os.close(le_escrita)
        self._saida = os.fdopen(escreve_chromium, "wb")
        self._entrada = os.fdopen(le_chromium, "rb")
        self._resto = b""
        self._numero = 0
        self._eventos = []
        self._limite = limite
        alvo = self._chama("Target.createTarget", {"url": "about:blank"})["targetId"]
        self._sessao = self._chama("Target.attachToTarget",
                                   {"targetId": alvo, "flatten": True})["sessionId"]
        self.comando("Page.enable")
        self.comando("Page.setLifecycleEventsEnabled", {"enabled": True})
        self.comando("Runtime.enable")
        self.comando("Emulation.setDeviceMetricsOverride",
                     {"width": largura, "height": altura, "deviceScaleFactor": 1, "mobile": False})

    def __enter__(self):
        return self

    def __exit__(self, *erro):
        self.fecha()

    def fecha(self):
        try:
            self._envia("Browser.close", {}, None)
        except OSError:
            pass
        try:
            self._processo.wait(timeout=30)
        except subprocess.TimeoutExpired:
            self._processo.kill()
            self._processo.wait()
        self._registo.close()
        shutil.rmtree(self._perfil, ignore_errors=True)

    # --- The protocol ---

    def _envia(self, metodo, parametros, sessao):
        self._numero += 1
        mensagem = {"id": self._numero, "method": metodo, "params": parametros}
        if sessao:
            mensagem["sessionId"] = sessao
        self._saida.write(json.dumps(mensagem).encode() + b"\0")
        self._saida.flush()
        return self._numero

    def _recebe(self):
        while b"\0" not in self._resto:
            dados = self._entrada.read1(1 << 16)
            if not dados:
                raise ErroNavegador("chromium terminou")
            self._resto += dados
        mensagem, _, self._resto = self._resto.partition(b"\0")
        return json.loads(mensagem)

    def _chama(self, metodo, parametros=None, sessao=None):
        numero = self._envia(metodo, parametros or {}, sessao)
        while True:
            mensagem = self._recebe()
            if mensagem.get("id") == numero:
                if "error" in mensagem:
                    raise ErroNavegador(f"{metodo}: {mensagem['error']}")
                return mensagem.get("result", {})
            if "method" in mensagem:
                self._eventos.append(mensagem)

    def comando(self, metodo, parametros=None):
        """A command to the page's session; its result."""
        return self._chama(metodo, parametros, self._sessao)

    def espera(self, condicao):
        """Waits for an event for which condicao(event) is true; answers it."""
        fim = time.monotonic() + self._limite
        while True:
            for i, evento in enumerate(self._eventos):
                if condicao(evento):
                    del self._eventos[: i + 1]
                    return evento
            self._eventos.clear()
            if time.monotonic() > fim:
                raise ErroNavegador("o acontecimento esperado não chegou")
            mensagem = self._recebe()
            if "method" in mensagem:
                self._eventos.append(mensagem)

    # --- The page ---

    def abre(self, url, ate="load"):
        """Opens url; answers the seconds to each lifecycle event up to `ate`
        ("firstContentfulPaint", "load"...), by the clock of this process."""
        self._eventos.clear()
        inicio = time.monotonic()
        self.comando("Page.navigate", {"url": url})
        tempos = {}

        def chegou(evento):
            if evento.get("method") != "Page.lifecycleEvent":
                return False
            nome = evento["params"]["name"]
            tempos.setdefault(nome, time.monotonic() - inicio)
            return nome == ate
        self.espera(chegou)
        return tempos

    def avalia(self, expressao):
        """The value of a JavaScript expression (a promise is awaited)."""
        r = self.comando("Runtime.evaluate", {"expression": expressao, "returnByValue": True,
                                              "awaitPromise": True})
        if "exceptionDetails" in r:
            raise ErroNavegador(f"{expressao}: {r['exceptionDetails']}")
        return r["result"].get("value")

    def clica(self, seletor):
        """A real click of the mouse at the middle of the element (brought into view)."""
        caixa = self.avalia(
            f"(function () {{ var e = document.querySelector({json.dumps(seletor)});"
            " e.scrollIntoView({block: 'center'}); var r = e.getBoundingClientRect();"
            " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
        for tipo in ("mouseMoved", "mousePressed", "mouseReleased"):
            self.comando("Input.dispatchMouseEvent", {"type": tipo, "x": caixa[0], "y": caixa[1],
                                                      "button": "left", "clickCount": 1})

    def escreve(self, seletor, texto):
        """Focuses the element and types the text into it, as a keyboard would."""
        self.avalia(f"document.querySelector({json.dumps(seletor)}).focus()")
        self.comando("Input.insertText", {"text": texto})

    def captura(self, caminho):
        """A PNG of what the window shows."""
        import base64
        dados = self.comando("Page.captureScreenshot", {"format": "png"})["data"]
        with open(caminho, "wb") as ficheiro:
            ficheiro.write(base64.b64decode(dados))
